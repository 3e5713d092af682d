// The tag reader in every mode over any bytes, and WriteField's round trip.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/tagged_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (size == 0) return 0;
    // Every mode, chosen by the first byte, until the data end: each call consumes at least one
    // byte or reports the end.
    sorvel::TagStream in(bytes.substr(1));
    const int mode = data[0] % 3;
    std::size_t calls = 0;
    while (!in.atEnd()) {
        const std::size_t before = in.pos();
        int number = -1;
        std::string text;
        sorvel::ReadTag(in, number, text, (mode + static_cast<int>(calls)) % 3);
        if (in.pos() == before && !in.atEnd()) std::abort();  // no progress: would loop forever
        ++calls;
    }
    // A value written with WriteField reads back equal ("<" and byte 26 both read as "<").
    const int field = 1 + data[0] % 99;
    std::string out;
    sorvel::WriteField(out, field, bytes, sorvel::kTagValue);
    sorvel::TagStream back(out);
    int number = 0;
    std::string text;
    if (sorvel::ReadTag(back, number, text, sorvel::kTagOpen) != 1 || number != field || text != "S") std::abort();
    if (sorvel::ReadTag(back, number, text, sorvel::kTagValue) != 1) std::abort();
    std::string expected(bytes);
    for (char& c : expected)
        if (c == 26) c = '<';
    if (text != expected) std::abort();
    if (sorvel::ReadTag(back, number, text, sorvel::kTagClose) != 1 || number != field) std::abort();
    return 0;
}
