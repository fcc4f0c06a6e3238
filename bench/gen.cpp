#include "boardgenerator.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

// gen <seed> <parts> [output.brd]: writes a generated board to the file, or
// to standard output without one.

namespace {

bool parseNumber(const char *text, unsigned long max, unsigned long &value)
{
    char *end = nullptr;
    errno = 0;
    value = std::strtoul(text, &end, 10);
    return *text >= '0' && *text <= '9' && *end == '\0' && errno == 0 && value <= max;
}

int usage()
{
    std::fputs("usage: gen <seed> <parts> [output.brd]\n"
               "  seed   0 to 4294967295\n"
               "  parts  0 to 100000\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    unsigned long seed = 0;
    unsigned long parts = 0;
    if (argc < 3 || argc > 4 || !parseNumber(argv[1], 0xffffffffUL, seed)
        || !parseNumber(argv[2], 100000, parts))
        return usage();

    const QByteArray board = generateBoard(quint32(seed), int(parts));
    FILE *file = argc == 4 ? std::fopen(argv[3], "wb") : stdout;
    if (!file) {
        std::perror(argv[3]);
        return 1;
    }
    const bool written =
            std::fwrite(board.constData(), 1, size_t(board.size()), file) == size_t(board.size());
    const bool closed = argc == 4 ? std::fclose(file) == 0 : std::fflush(file) == 0;
    if (!written || !closed) {
        std::perror(argc == 4 ? argv[3] : "stdout");
        return 1;
    }
    return 0;
}
