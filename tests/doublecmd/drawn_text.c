/* Loaded into the file manager under test with LD_PRELOAD: every text it
   lays out is appended, one per line, to the file MOSSGRAIN_DRAWN_TEXT
   names, so that the test can read what its windows say; a screenshot holds
   no text. What is drawn does not change.
   - The GTK edition lays out every text (labels, buttons, message boxes, the
     file lists) with Pango.
   - The Qt edition hands the texts of its widgets to Qt through the C calls
     of its Qt binding, as the binding's own strings; the binding hands over,
     as it starts, the two calls that read such a string, which are used
     here to read them. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static void Append(const char* text, size_t size) {
    const char* path = getenv("MOSSGRAIN_DRAWN_TEXT");
    if (path == NULL || text == NULL) return;
    const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return;
    /* A line that could not be written is a line the test does not find. */
    if (write(fd, text, size) == (ssize_t)size) {
        if (write(fd, "\n", 1) != 1) {
        }
    }
    close(fd);
}

/* ---- GTK: Pango ---------------------------------------------------------- */

typedef void (*SetText)(void* layout, const char* text, int length);

void pango_layout_set_text(void* layout, const char* text, int length) {
    static SetText real;
    if (real == NULL) real = (SetText)dlsym(RTLD_NEXT, "pango_layout_set_text");
    if (text != NULL) Append(text, length < 0 ? strlen(text) : (size_t)length);
    if (real != NULL) real(layout, text, length);
}

/* ---- Qt: the binding's strings --------------------------------------------- */

typedef uint16_t* (*UnicodeOf)(void* string);
typedef int (*LengthOf)(void* string);
typedef void (*InitStrings)(void* copy, UnicodeOf unicodeOf, LengthOf lengthOf, void* init,
                            void* finalize);

static UnicodeOf g_unicodeOf;
static LengthOf g_lengthOf;

void initPWideStrings(void* copy, UnicodeOf unicodeOf, LengthOf lengthOf, void* init,
                      void* finalize) {
    static InitStrings real;
    if (real == NULL) real = (InitStrings)dlsym(RTLD_NEXT, "initPWideStrings");
    g_unicodeOf = unicodeOf;
    g_lengthOf = lengthOf;
    if (real != NULL) real(copy, unicodeOf, lengthOf, init, finalize);
}

/* A string of the binding, as UTF-8. */
static void AppendString(void* string) {
    if (string == NULL || g_unicodeOf == NULL || g_lengthOf == NULL) return;
    const uint16_t* units = g_unicodeOf(string);
    const int length = g_lengthOf(string);
    if (units == NULL || length <= 0) return;
    char* out = malloc((size_t)length * 3 + 1);
    if (out == NULL) return;
    size_t n = 0;
    for (int i = 0; i < length; ++i) {
        uint32_t c = units[i];
        if (c >= 0xd800 && c < 0xdc00 && i + 1 < length && units[i + 1] >= 0xdc00 &&
            units[i + 1] < 0xe000) {
            c = 0x10000 + ((c - 0xd800) << 10) + (units[++i] - 0xdc00);
        }
        if (c < 0x80) {
            out[n++] = (char)c;
        } else if (c < 0x800) {
            out[n++] = (char)(0xc0 | (c >> 6));
            out[n++] = (char)(0x80 | (c & 0x3f));
        } else if (c < 0x10000) {
            out[n++] = (char)(0xe0 | (c >> 12));
            out[n++] = (char)(0x80 | ((c >> 6) & 0x3f));
            out[n++] = (char)(0x80 | (c & 0x3f));
        } else {
            out[n++] = (char)(0xf0 | (c >> 18));
            out[n++] = (char)(0x80 | ((c >> 12) & 0x3f));
            out[n++] = (char)(0x80 | ((c >> 6) & 0x3f));
            out[n++] = (char)(0x80 | (c & 0x3f));
        }
    }
    Append(out, n);
    free(out);
}

typedef void (*SetString)(void* handle, void* string);

/* A call of the binding that gives a widget its text: the text is noted,
   then the call goes on as it would. */
#define TEXT_CALL(name)                                              \
    void name(void* handle, void* string) {                          \
        static SetString real;                                       \
        if (real == NULL) real = (SetString)dlsym(RTLD_NEXT, #name); \
        AppendString(string);                                        \
        if (real != NULL) real(handle, string);                      \
    }

TEXT_CALL(QAbstractButton_setText)
TEXT_CALL(QGroupBox_setTitle)
TEXT_CALL(QLabel_setText)
TEXT_CALL(QMessageBox_setText)
