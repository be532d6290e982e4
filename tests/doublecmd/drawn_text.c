/* Loaded into the file manager under test with LD_PRELOAD: every text it
   lays out with Pango (labels, buttons, message boxes, the file lists) is
   appended, one per line, to the file MOSSGRAIN_DRAWN_TEXT names, so that the
   test can read what its windows say; a screenshot holds no text. What is
   drawn does not change. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

typedef void (*SetText)(void* layout, const char* text, int length);

static void Append(const char* text, int length) {
    const char* path = getenv("MOSSGRAIN_DRAWN_TEXT");
    if (path == NULL || text == NULL) return;
    const size_t size = length < 0 ? strlen(text) : (size_t)length;
    const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return;
    /* A line that could not be written is a line the test does not find. */
    if (write(fd, text, size) == (ssize_t)size) {
        if (write(fd, "\n", 1) != 1) {
        }
    }
    close(fd);
}

void pango_layout_set_text(void* layout, const char* text, int length) {
    static SetText real;
    if (real == NULL) real = (SetText)dlsym(RTLD_NEXT, "pango_layout_set_text");
    Append(text, length);
    if (real != NULL) real(layout, text, length);
}
