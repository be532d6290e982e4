/*
 * Scales every element of an array in place.
 */
void scale(double *values, int count, double factor)
{
	for (int i = 0; i < count; ++i)
		values[i] *= factor; /* no bounds check: the caller knows */
}
