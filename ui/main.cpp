// Placeholder entry point until the main window lands.
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::puts("Tessaly: gas mixing and humidification control");
    return 0;
}
