// Decodes one picture with QImageReader and exits: how long Qt alone takes.
#include <QCoreApplication>
#include <QImageReader>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: decode_only PICTURE\n");
        return 2;
    }
    QImageReader reader(QString::fromLocal8Bit(argv[1]));
    reader.setAllocationLimit(0);
    const QImage image = reader.read();
    if (image.isNull()) {
        std::fprintf(stderr, "decode_only: %s\n", qPrintable(reader.errorString()));
        return 1;
    }
    return 0;
}
