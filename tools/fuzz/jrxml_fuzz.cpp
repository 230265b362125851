// A libFuzzer target for the JRXML reader and writer: any bytes that read as a report are
// written, read and written again. It stops on a first output that does not read back (not
// well-formed, or not namespace-well-formed) and on a second output that differs from the first.

#include "model/JrxmlCodec.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList notes;
    ReportDocument document;
    try {
        document = JrxmlCodec::parse(input, &notes);
    } catch (const JrxmlCodecError &) {
        return 0; // refused input is fine
    }
    const QByteArray once = JrxmlCodec::serialize(document, &notes);
    QByteArray twice;
    try {
        twice = JrxmlCodec::serialize(JrxmlCodec::parse(once, &notes), &notes);
    } catch (const JrxmlCodecError &error) {
        std::fprintf(stderr, "the written report does not read back: %s\n--- written:\n%s\n",
                     error.what(), once.constData());
        std::abort();
    }
    if (once != twice) {
        std::fprintf(stderr, "not a fixed point\n--- first:\n%s\n--- second:\n%s\n",
                     once.constData(), twice.constData());
        std::abort();
    }
    return 0;
}
