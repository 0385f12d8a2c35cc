// The peer of the start-up benchmark: a program that uses only Qt Core and
// does nothing, so its time is the floor any Qt Core tool starts in.
#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return 0;
}
