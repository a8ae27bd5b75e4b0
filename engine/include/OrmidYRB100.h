/*
 * OrmidYRB100 - the list engine of Ormid List Studio.
 *
 * The engine holds up to three address lists (slots 1 left, 2 right, 3
 * scratch) and four reference lists in memory and performs every operation
 * on their entries.  All functions take and return 32-bit integers and
 * NUL-terminated byte texts; texts read back are copied into caller-owned
 * buffers of maximum + 1 bytes.
 *
 * Results: 0 or more is success (usually a count), YRB_FAILED (-1) failure
 * (a message has gone to the error callback unless noted as silent),
 * YRB_STOPPED (-2) stopped because the check-interrupt callback answered
 * non-zero.
 *
 * The engine calls back through a table of seven callbacks during long
 * operations.  Texts handed to callbacks are valid only during the call.
 * Callbacks are called only on the caller's thread; no export is re-entrant
 * across threads.  On a list of about a million entries or more, the heavy
 * passes of an export run on worker threads, one per core the process may
 * use (the environment variable ORMID_ENGINE_THREADS pins the number; 1 is
 * the single-thread path), with the same results, files and messages.
 *
 * A callback may call exports that only read a list the running operation
 * uses (YRB14, YRB16, YRB17, YRB18, YRB26, YRB27, YRB29, YRB01, YRB21
 * without flag bits).
 * Exports that free, reload or change it (its index order or its entries'
 * flags: YRB02, YRB03, YRB10, YRB11, YRB12, YRB15, YRB21 with flag bits,
 * YRB23, YRB24) are refused with -1 and "List n is in use by a running
 * operation and cannot be ..." through the registered error slot.
 */
#ifndef ORMID_YRB100_H
#define ORMID_YRB100_H

#include <stdint.h>

#if defined(_WIN32)
#  define YRB_API __declspec(dllexport)
#elif defined(__GNUC__)
#  define YRB_API __attribute__((visibility("default")))
#else
#  define YRB_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Entry flag bits. */
#define YRB_FLAG_SELECTED     0x01
#define YRB_FLAG_NOT_IN_OTHER 0x02
#define YRB_FLAG_IN_BOTH      0x04
#define YRB_FLAG_DELETED      0x08
#define YRB_FLAG_DUPLICATE    0x10
#define YRB_FLAG_INVALID      0x20
#define YRB_FLAG_RESERVED     0x40
#define YRB_FLAG_WORK         0x80
#define YRB_MASK_REMOVED      0x78 /* deleted, duplicate, invalid, reserved */
#define YRB_MASK_ALL_MARKS    0x7E
#define YRB_MASK_COMPARE      0x06

/* Results below 0. */
#define YRB_FAILED  (-1)
#define YRB_STOPPED (-2)

/* The entry argument of YRB10 that means every entry. */
#define YRB_ALL_ENTRIES (-1)

/* Modes of YRB10. */
#define YRB_MODE_TOGGLE (-1)
#define YRB_MODE_CLEAR  0
#define YRB_MODE_SET    1

/* Parts of an entry (YRB18, YRB21, and the keys of YRB11). */
#define YRB_PART_ADDRESS 0
#define YRB_PART_USER    1
#define YRB_PART_DOMAIN  2

/* Sort keys of YRB02: texts, their lengths, the occurrence count left by
 * YRB11, and flags (entries with the flag last ascending). */
#define YRB_SORT_ADDRESS        0
#define YRB_SORT_USER           1
#define YRB_SORT_DOMAIN         2
#define YRB_SORT_ADDRESS_LENGTH 3
#define YRB_SORT_USER_LENGTH    4
#define YRB_SORT_DOMAIN_LENGTH  5
#define YRB_SORT_OCCURRENCES    6
#define YRB_SORT_INVALID        7  /* YRB_FLAG_INVALID */
#define YRB_SORT_DUPLICATE      8  /* YRB_FLAG_DUPLICATE */
#define YRB_SORT_DELETED        9  /* YRB_FLAG_DELETED */
#define YRB_SORT_COMPARE        10 /* YRB_MASK_COMPARE */
#define YRB_SORT_SELECTED       11 /* YRB_FLAG_SELECTED */

/* The index YRB02 sorts: the display order, or the scratch order (any
 * value but 0). */
#define YRB_INDEX_DISPLAY 0
#define YRB_INDEX_SCRATCH 1

/* Where YRB21 looks for the text in the part. */
#define YRB_FIND_ANYWHERE 0
#define YRB_FIND_AT_START 1
#define YRB_FIND_AT_END   2

typedef int32_t (*YRB_TextCallback)(const char* text);
typedef int32_t (*YRB_ValueCallback)(int32_t value);
typedef int32_t (*YRB_PairCallback)(int32_t first, int32_t second);
typedef int32_t (*YRB_ReservedCallback)(void);

/* The callback table, slots in this order.  A null slot is skipped. */
typedef struct YRB_CallbackTable {
    YRB_TextCallback error;            /* 1: message of a failure, just before -1 */
    YRB_ValueCallback progress;        /* 2: position reached */
    YRB_ValueCallback check_interrupt; /* 3: called with 0; non-zero stops */
    YRB_TextCallback information;      /* 4: name of the step that starts */
    YRB_ReservedCallback reserved;     /* 5: never called */
    YRB_ValueCallback init_progress;   /* 6: total of the step */
    YRB_PairCallback animate;          /* 7: called with 0, 0 while sorting */
} YRB_CallbackTable;

/* ---- Lists and loading ------------------------------------------------ */

/* Loads an address-list file into slot 1..3, freeing its previous list first.
 * column: 0 every non-empty field, k the k-th field (empty fields counted).
 * Separators are exact byte sequences of at most 127 bytes; texts are
 * lower-cased (A-Z) in memory.  Returns the entry count, -1, or -2.
 * Silent -1 for a bad slot or an empty record separator. */
YRB_API int32_t YRB13(int32_t slot, const char* path, int32_t column,
                      const char* field_sep, const char* record_sep);

/* 0 when the slot holds a complete list, 1 otherwise.  Never a message. */
YRB_API int32_t YRB14(int32_t slot);

/* Frees the slot's list: 1, or -1 for a slot outside 1..3 (silent) or a list
 * in use. */
YRB_API int32_t YRB20(int32_t slot);

/* Forgets callback slots 1..6, frees lists 1 and 2 and the reference lists.
 * Returns 1, or -1 when a list in use was kept (the others are freed). */
YRB_API int32_t YRB09(void);

/* Reads the first size bytes of a file into buffer (size + 1 bytes), in
 * chunks (0 counts as 1).  Returns the bytes read (fewer at end of file),
 * -1, or -2.  A NUL follows the bytes read. */
YRB_API int32_t YRB28(const char* path, uint32_t chunk, char* buffer, uint32_t size);

/* ---- Callbacks ---------------------------------------------------------- */

/* Registers a copy of the table; null changes nothing. */
YRB_API void YRB07(const YRB_CallbackTable* table);

/* ---- Flags and entry access --------------------------------------------- */

/* Sets (on != 0) or clears the mask bits of one entry: 0, or -1 (silent for
 * an entry out of range). */
YRB_API int32_t YRB03(int32_t slot, int32_t entry, int32_t mask, int32_t on);

/* Updates flags of one entry or of all (YRB_ALL_ENTRIES) that pass the
 * filter.  mode: YRB_MODE_TOGGLE, _CLEAR or _SET (others count as set).
 * table: null for the silent table.  Returns the entries that passed the
 * filter (0 at once for mask 0), -1, or -2. */
YRB_API int32_t YRB10(int32_t slot, int32_t entry, int32_t mode, int32_t mask,
                      int32_t must_have, int32_t must_not,
                      const YRB_CallbackTable* table);

/* Reverses the display order: 1, -1, or -2. */
YRB_API int32_t YRB15(int32_t slot);

/* Counts the entries that pass the filter; table null for silent.
 * Returns the count, -1, or -2. */
YRB_API int32_t YRB16(int32_t slot, int32_t must_have, int32_t must_not,
                      const YRB_CallbackTable* table);

/* The entry's flags AND mask, or -1 (a message only when the slot holds no
 * list). */
YRB_API int32_t YRB17(int32_t slot, int32_t entry, int32_t mask);

/* Copies a part (YRB_PART_ADDRESS, _USER, _DOMAIN) of an entry, at most
 * max bytes and a NUL.  Returns the bytes copied, or -1 (a message only
 * when the slot holds no list). */
YRB_API int32_t YRB18(int32_t slot, int32_t entry, int32_t part, char* buffer,
                      int32_t max);

/* The id of the entry at a position of the display order: its number in
 * file order, which stays with the entry however the list is reordered.
 * Returns the id, or -1 (a message only when the slot holds no list). */
YRB_API int32_t YRB26(int32_t slot, int32_t entry);

/* The position in the display order of the entry with that id (YRB26).
 * Returns the position, or -1 (a message only when the slot holds no
 * list). */
YRB_API int32_t YRB27(int32_t slot, int32_t id);

/* Reserved: always -1. */
YRB_API int32_t YRB19(void);

/* ---- Sorting, duplicates, validation ------------------------------------ */

/* Sorts the display index (YRB_INDEX_DISPLAY) or the scratch index by a key
 * YRB_SORT_... (others count as YRB_SORT_ADDRESS).  1, -1, -2. */
YRB_API int32_t YRB02(int32_t slot, int32_t key, int32_t which_index,
                      int32_t descending);

/* Flags repeats of a part (key YRB_PART_...); appends a ".dup" report when
 * report_path is not empty.  Returns the repeats, -1 (silent for a key out
 * of range; a report that cannot be opened or written whole), or -2. */
YRB_API int32_t YRB11(int32_t slot, int32_t key, int32_t flag, int32_t must_have,
                      int32_t must_not, const char* report_path);

/* Reference list loaders: black list, valid extensions, excluded
 * extensions, excluded keywords.  1 or -1 (silent for an empty file, which
 * empties the list). */
YRB_API int32_t YRB08(const char* path, int32_t column, const char* field_sep,
                      const char* record_sep);
YRB_API int32_t YRB06(const char* path, int32_t column, const char* field_sep,
                      const char* record_sep);
YRB_API int32_t YRB04(const char* path, int32_t column, const char* field_sep,
                      const char* record_sep);
YRB_API int32_t YRB05(const char* path, int32_t column, const char* field_sep,
                      const char* record_sep);

/* Flags invalid entries; appends an ".inv" report when report_path is not
 * empty.  A report that cannot be opened gives a message only; one that
 * cannot be written whole gives -1.  Returns the invalid entries, -1, or
 * -2. */
YRB_API int32_t YRB12(int32_t slot, int32_t flag, int32_t must_have,
                      int32_t must_not, const char* report_path);

/* 1 valid, 0 invalid with the reason in buffer, -1 (a message only when the
 * slot holds no list), -2. */
YRB_API int32_t YRB29(int32_t slot, int32_t entry, char* buffer, int32_t max);

/* ---- Compare, find, write, statistics ------------------------------------ */

/* Flags the entries of lists 1 and 2 whose address occurs in the other list.
 * crc_only 1 extends equal runs on the CRC alone.  1, -1, -2. */
YRB_API int32_t YRB24(int32_t ignored, int32_t flag, int32_t must_have,
                      int32_t must_not, int32_t crc_only);

/* Finds text in a part (YRB_PART_...) of the entries from start on, at
 * position YRB_FIND_...; flag bits are cleared first and set on matches.
 * Returns the number of matches, or with first_only the first matching
 * entry number or -1 when none matches; -1 on failure, -2 when stopped. */
YRB_API int32_t YRB21(int32_t slot, int32_t part, const char* text,
                      int32_t whole_word, int32_t case_sensitive, int32_t start,
                      int32_t position, int32_t first_only, int32_t flag,
                      int32_t must_have, int32_t must_not);

/* Writes the entries that pass the filter to path (or numbered files of
 * per_file entries).  mode: "wb", "w+b" or "a+b".  Returns the entries
 * written, -1 (also for a file that cannot be written whole), or -2. */
YRB_API int32_t YRB01(int32_t slot, int32_t must_have, int32_t must_not,
                      int32_t reverse, int32_t whole_record,
                      const char* out_field_sep, const char* out_record_sep,
                      const char* path, int32_t per_file, const char* mode);

/* Writes the ".sta" domain statistics.  Returns the entry count, -1 (also
 * for a file that cannot be written whole), or -2. */
YRB_API int32_t YRB23(int32_t slot, const char* stat_path, int32_t must_have,
                      int32_t must_not);

/* ---- File utilities ----------------------------------------------------- */

/* Counts the non-empty records of a file; table null for the registered one.
 * Returns the count, -1, or -2. */
YRB_API int32_t YRB22(const char* path, const char* record_sep,
                      const YRB_CallbackTable* table);

/* 1-based position of the first byte that is not a text byte (8, 9, 10, 13,
 * 32..255), 0 when there is none, -1 (silent) for a negative length.
 * length 0: up to the NUL. */
YRB_API int32_t YRB25(const char* text, int32_t length);

#ifdef __cplusplus
}
#endif

#endif /* ORMID_YRB100_H */
