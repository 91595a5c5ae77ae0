// The fuzz targets without libFuzzer (GCC, MinGW, the sanitizer build): every
// file under the directories given goes through the target's
// LLVMFuzzerTestOneInput once, so that an input that found a fault keeps
// being tried in every build.

#include <QByteArray>
#include <QDirIterator>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

int main(int argc, char *argv[])
{
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        QDirIterator files(QString::fromLocal8Bit(argv[i]), QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "%s: %s\n", qPrintable(file.fileName()), qPrintable(file.errorString()));
                return 1;
            }
            const QByteArray bytes = file.readAll();
            // A buffer of exactly the input's size, as libFuzzer hands it over,
            // so that the sanitizer build sees a read past its end.
            const auto size = static_cast<std::size_t>(bytes.size());
            const std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[size]);
            std::memcpy(data.get(), bytes.constData(), size);
            LLVMFuzzerTestOneInput(data.get(), size);
            ++inputs;
        }
    }
    std::printf("%d inputs replayed\n", inputs);
    // No input at all means a wrong directory, not a pass.
    return inputs > 0 ? 0 : 1;
}
