// The windowless parse mode as a program of its own, started by `tovalo`
// when TOVALO_PARSE is set: Qt Core and the query parser, nothing more.
#include "parsemode.h"

int main(int argc, char **argv)
{
    return ParseMode::main(argc, argv);
}
