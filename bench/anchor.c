/* The same work as the program's, written straight on SQLite's C interface with nothing else in the way: the
 * anchor bench/run sets the program's figures against. Prints the milliseconds the work took.
 *
 *   bench_anchor import DB FILE CATEGORY   add the transfer file's figure and parts in one transaction, then
 *                                          read the new figure's part list back
 *   bench_anchor export DB FIGURE FILE     write the figure's transfer file and sync it to disk
 *   bench_anchor figure DB FIGURE          read a figure's part list (identifier and name)
 *   bench_anchor category DB CATEGORY      read a category's figure list in name order
 */
#define _POSIX_C_SOURCE 200809L
#include <sqlite3.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec * 1e3 + (double)t.tv_nsec / 1e6;
}

static void check(sqlite3* db, int code, const char* what) {
    if (code != SQLITE_OK && code != SQLITE_DONE && code != SQLITE_ROW) {
        fprintf(stderr, "bench_anchor: %s: %s\n", what, sqlite3_errmsg(db));
        exit(1);
    }
}

static sqlite3_stmt* prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = NULL;
    check(db, sqlite3_prepare_v2(db, sql, -1, &statement, NULL), sql);
    return statement;
}

static long long single(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = prepare(db, sql);
    long long value = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : 0;
    sqlite3_finalize(statement);
    return value;
}

/* Reads the rows of a list as the program shows them: identifier and name, the name copied. */
static long long readList(sqlite3* db, const char* sql, long long key) {
    sqlite3_stmt* statement = prepare(db, sql);
    sqlite3_bind_int64(statement, 1, key);
    long long rows = 0, bytes = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        (void)sqlite3_column_int64(statement, 0);
        bytes += sqlite3_column_bytes(statement, 1);
        rows++;
    }
    sqlite3_finalize(statement);
    return rows + (bytes < 0);
}

static char* nextLine(FILE* file, char** line, size_t* capacity) {
    ssize_t length = getline(line, capacity, file);
    if (length < 0)
        return NULL;
    while (length > 0 && ((*line)[length - 1] == '\n' || (*line)[length - 1] == '\r'))
        (*line)[--length] = '\0';
    return *line;
}

static int import(sqlite3* db, const char* path, long long category) {
    FILE* file = fopen(path, "rb");
    if (!file)
        return fprintf(stderr, "bench_anchor: cannot open %s\n", path), 1;
    char* line = NULL;
    size_t capacity = 0;
    char name[4096] = "", type[4096] = "";
    if (!nextLine(file, &line, &capacity) || !nextLine(file, &line, &capacity))
        return 1;
    snprintf(name, sizeof name, "%s", line);
    if (!nextLine(file, &line, &capacity))
        return 1;
    snprintf(type, sizeof type, "%s", line);

    check(db, sqlite3_exec(db, "BEGIN IMMEDIATE", NULL, NULL, NULL), "begin");
    long long figure = single(db, "SELECT MAX(FigureID) FROM tblFigure") + 1;
    long long part = single(db, "SELECT MAX(FigurePartID) FROM tblFigurePart") + 1;
    int columns = (int)single(db, "SELECT COUNT(*) FROM pragma_table_info('tblFigurePart')");
    sqlite3_stmt* addFigure = prepare(db, "INSERT INTO tblFigure VALUES (?, ?, ?, ?)");
    sqlite3_bind_int64(addFigure, 1, figure);
    sqlite3_bind_int64(addFigure, 2, category);
    sqlite3_bind_text(addFigure, 3, name, -1, SQLITE_STATIC);
    sqlite3_bind_text(addFigure, 4, type, -1, SQLITE_STATIC);
    check(db, sqlite3_step(addFigure), "figure");
    sqlite3_finalize(addFigure);

    char sql[1024] = "INSERT INTO tblFigurePart VALUES (?, ?";
    for (int i = 2; i < columns; i++)
        strcat(sql, ", ?");
    strcat(sql, ")");
    sqlite3_stmt* addPart = prepare(db, sql);
    while (nextLine(file, &line, &capacity)) {
        if (!strchr(line, '!'))
            continue;
        sqlite3_bind_int64(addPart, 1, part++);
        sqlite3_bind_int64(addPart, 2, figure);
        char* piece = line;
        for (int i = 2; i < columns; i++) {
            char* bang = piece ? strchr(piece, '!') : NULL;
            if (bang)
                *bang = '\0';
            if (!piece || !*piece)
                sqlite3_bind_null(addPart, i + 1);
            else
                sqlite3_bind_text(addPart, i + 1, piece, -1, SQLITE_STATIC);
            piece = bang ? bang + 1 : NULL;
        }
        check(db, sqlite3_step(addPart), "part");
        sqlite3_reset(addPart);
    }
    sqlite3_finalize(addPart);
    check(db, sqlite3_exec(db, "COMMIT", NULL, NULL, NULL), "commit");
    fclose(file);
    free(line);
    readList(db, "SELECT FigurePartID, FigurePartName FROM tblFigurePart WHERE FigureID=?", figure);
    return 0;
}

static int export(sqlite3* db, long long figure, const char* path) {
    FILE* file = fopen(path, "wb");
    if (!file)
        return fprintf(stderr, "bench_anchor: cannot write %s\n", path), 1;
    sqlite3_stmt* heading = prepare(db, "SELECT FigureName, FigureType FROM tblFigure WHERE FigureID=?");
    sqlite3_bind_int64(heading, 1, figure);
    if (sqlite3_step(heading) != SQLITE_ROW)
        return 1;
    fprintf(file, "Lumaret Import/ Export file, created 01/01/26\r\n%s\r\n%s\r\n", sqlite3_column_text(heading, 0),
            sqlite3_column_text(heading, 1));
    sqlite3_finalize(heading);
    sqlite3_stmt* parts = prepare(db, "SELECT * FROM tblFigurePart WHERE FigureID=?");
    sqlite3_bind_int64(parts, 1, figure);
    const int columns = sqlite3_column_count(parts);
    while (sqlite3_step(parts) == SQLITE_ROW) {
        for (int i = 2; i < columns; i++) {
            const unsigned char* text = sqlite3_column_text(parts, i);
            if (text)
                fwrite(text, 1, (size_t)sqlite3_column_bytes(parts, i), file);
            fputc('!', file);
        }
        fputs("\r\n", file);
    }
    sqlite3_finalize(parts);
    fflush(file);
    fsync(fileno(file));
    fclose(file);
    return 0;
}

int main(int argc, char** argv) {
    if (argc < 4)
        return fprintf(stderr, "usage: bench_anchor import|export|figure|category DB ...\n"), 2;
    const double start = now();
    sqlite3* db = NULL;
    if (sqlite3_open(argv[2], &db) != SQLITE_OK)
        return fprintf(stderr, "bench_anchor: cannot open %s\n", argv[2]), 1;
    int failed = 1;
    if (!strcmp(argv[1], "import") && argc == 5)
        failed = import(db, argv[3], atoll(argv[4]));
    else if (!strcmp(argv[1], "export") && argc == 5)
        failed = export(db, atoll(argv[3]), argv[4]);
    else if (!strcmp(argv[1], "figure"))
        failed =
            readList(db, "SELECT FigurePartID, FigurePartName FROM tblFigurePart WHERE FigureID=?", atoll(argv[3])) < 0;
    else if (!strcmp(argv[1], "category"))
        failed = readList(db, "SELECT FigureID, FigureName FROM tblFigure WHERE CategoryID=? ORDER BY FigureName",
                          atoll(argv[3])) < 0;
    sqlite3_close(db);
    if (failed)
        return 1;
    printf("%.2f\n", now() - start);
    return 0;
}
