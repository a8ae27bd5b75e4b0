/* Drives a load through the shared library's exports from plain C. */
#include <stdio.h>
#include <string.h>

#include "OrmidYRB100.h"

static char infos[16][64];
static int n_infos;
static int n_errors;
static int32_t last_progress = -1;

static int32_t on_error(const char* text) { (void)text; ++n_errors; return 0; }
static int32_t on_progress(int32_t v) { last_progress = v; return 0; }
static int32_t on_check(int32_t v) { (void)v; return 0; }
static int32_t on_info(const char* text) {
    if (n_infos < 16) {
        strncpy(infos[n_infos], text, 63);
        infos[n_infos][63] = '\0';
    }
    ++n_infos;
    return 0;
}
static int32_t on_init(int32_t v) { (void)v; return 0; }
static int32_t on_animate(int32_t a, int32_t b) { (void)a; (void)b; return 0; }

#define CHECK(cond)                                                  \
    do {                                                             \
        if (!(cond)) {                                               \
            fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #cond); \
            return 1;                                                \
        }                                                            \
    } while (0)

int main(int argc, char** argv) {
    char path[4096];
    char buf[1025];
    FILE* f;
    YRB_CallbackTable table = {on_error, on_progress, on_check, on_info, NULL, on_init, on_animate};
    CHECK(argc > 1);
    snprintf(path, sizeof path, "%s/c_api_list.mal", argv[1]);
    f = fopen(path, "wb");
    CHECK(f != NULL);
    fputs("1;Ann@Mail.Org\r\n2;bob@b.net\r\n\r\n", f);
    fclose(f);

    YRB07(&table);
    CHECK(YRB13(1, path, 2, ";", "\r\n") == 2);
    CHECK(n_errors == 0);
    CHECK(n_infos == 4);
    CHECK(strcmp(infos[0], "Loading file") == 0);
    CHECK(strcmp(infos[3], "Parsing entries") == 0);
    CHECK(last_progress == 2);
    CHECK(YRB14(1) == 0);
    CHECK(YRB18(1, 0, YRB_PART_ADDRESS, buf, 1024) == 12 && strcmp(buf, "ann@mail.org") == 0);
    CHECK(YRB18(1, 1, YRB_PART_DOMAIN, buf, 1024) == 5 && strcmp(buf, "b.net") == 0);
    CHECK(YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_SELECTED, 0, 0, &table) == 2);
    CHECK(YRB02(1, YRB_SORT_DOMAIN, YRB_INDEX_DISPLAY, 0) == 1);
    CHECK(YRB18(1, 0, YRB_PART_DOMAIN, buf, 1024) == 5 && strcmp(buf, "b.net") == 0);
    CHECK(YRB16(1, YRB_FLAG_SELECTED, YRB_MASK_REMOVED, NULL) == 2);
    CHECK(YRB22(path, "\r\n", NULL) == 2);
    CHECK(YRB20(1) == 1 && YRB14(1) == 1);
    CHECK(YRB13(1, path, 2, ";", "") == YRB_FAILED);
    CHECK(YRB09() == 1);
    remove(path);
    puts("c api ok");
    return 0;
}
