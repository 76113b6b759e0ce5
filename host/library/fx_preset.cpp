#include "host/library/fx_preset.h"

#include <cstring>

#include "vst/aeffect.h"

namespace {
constexpr int32_t kChunkMagic = fourCharCode('C', 'c', 'n', 'K');
constexpr int32_t kProgramValues = fourCharCode('F', 'x', 'C', 'k');
constexpr int32_t kProgramChunk = fourCharCode('F', 'P', 'C', 'h');
constexpr int32_t kBankValues = fourCharCode('F', 'x', 'B', 'k');
constexpr int32_t kBankChunk = fourCharCode('F', 'B', 'C', 'h');
constexpr size_t kProgramNameBytes = 28;
constexpr size_t kBankReservedBytes = 124;  // after the current program
constexpr size_t kProgramHeaderBytes = 7 * 4 + kProgramNameBytes;
constexpr size_t kBankHeaderBytes = 8 * 4 + kBankReservedBytes;

class Writer {
public:
    void integer(int32_t v) {
        const uint32_t u = static_cast<uint32_t>(v);
        for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(u >> shift));
    }
    void real(float v) {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        integer(static_cast<int32_t>(u));
    }
    void text(const std::string& s, size_t width) {
        for (size_t i = 0; i < width; ++i) bytes.push_back(i + 1 < width && i < s.size() ? s[i] : 0);
    }
    void raw(const std::vector<uint8_t>& data) { bytes.insert(bytes.end(), data.begin(), data.end()); }
    void zeros(size_t n) { bytes.insert(bytes.end(), n, 0); }
    // The size field counts everything after itself.
    void patchSize() { patch(4, static_cast<int32_t>(bytes.size() - 8)); }
    void patch(size_t at, int32_t v) {
        const uint32_t u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(u >> (24 - 8 * i));
    }

    std::vector<uint8_t> bytes;
};

class Reader {
public:
    Reader(const std::vector<uint8_t>& data, size_t start) : bytes(data), at(start) {}
    // Sizes come from the file: in 64 bits, counts times sizes cannot wrap,
    // also where size_t has 32.
    bool has(uint64_t n) const { return at <= bytes.size() && uint64_t{bytes.size() - at} >= n; }
    int32_t integer() {
        uint32_t u = 0;
        for (int i = 0; i < 4; ++i) u = (u << 8) | bytes[at++];
        return static_cast<int32_t>(u);
    }
    float real() {
        const uint32_t u = static_cast<uint32_t>(integer());
        float v;
        std::memcpy(&v, &u, 4);
        return v;
    }
    std::string text(size_t width) {
        std::string s(reinterpret_cast<const char*>(&bytes[at]), width);
        at += width;
        return s.substr(0, s.find('\0'));
    }
    std::vector<uint8_t> raw(size_t n) {
        std::vector<uint8_t> data(bytes.begin() + at, bytes.begin() + at + n);
        at += n;
        return data;
    }
    void skip(size_t n) { at += n; }
    size_t position() const { return at; }

private:
    const std::vector<uint8_t>& bytes;
    size_t at;
};

void writeProgram(Writer& out, const FxProgram& program) {
    const size_t start = out.bytes.size();
    out.integer(kChunkMagic);
    out.integer(0);
    out.integer(program.opaque ? kProgramChunk : kProgramValues);
    out.integer(1);
    out.integer(program.pluginId);
    out.integer(program.pluginVersion);
    out.integer(program.opaque ? program.chunkParameterCount
                               : static_cast<int32_t>(program.values.size()));
    out.text(program.name, kProgramNameBytes);
    if (program.opaque) {
        out.integer(static_cast<int32_t>(program.chunk.size()));
        out.raw(program.chunk);
    } else {
        for (float v : program.values) out.real(v);
    }
    out.patch(start + 4, static_cast<int32_t>(out.bytes.size() - start - 8));
}

// Reads the program that starts at the reader's position.
bool readProgram(Reader& in, FxProgram& program, std::string& error) {
    if (!in.has(kProgramHeaderBytes)) {
        error = "the program is cut short";
        return false;
    }
    if (in.integer() != kChunkMagic) {
        error = "a program does not start with 'CcnK'";
        return false;
    }
    in.integer();  // the size, which some writers get wrong; the fields say enough
    const int32_t kind = in.integer();
    if (kind != kProgramValues && kind != kProgramChunk) {
        error = "not a program of parameter values ('FxCk') or a chunk ('FPCh')";
        return false;
    }
    in.integer();  // format version
    program.pluginId = in.integer();
    program.pluginVersion = in.integer();
    const int32_t count = in.integer();
    program.name = in.text(kProgramNameBytes);
    program.opaque = kind == kProgramChunk;
    if (program.opaque) {
        if (!in.has(4)) {
            error = "the program chunk has no size";
            return false;
        }
        const int32_t size = in.integer();
        if (size < 0 || !in.has(static_cast<size_t>(size))) {
            error = "the program chunk is cut short";
            return false;
        }
        program.chunk = in.raw(static_cast<size_t>(size));
        program.chunkParameterCount = count;
        program.values.clear();
    } else {
        if (count < 0 || !in.has(uint64_t{static_cast<uint32_t>(count)} * 4)) {
            error = "the program's parameter values are cut short";
            return false;
        }
        program.values.resize(static_cast<size_t>(count));
        for (float& v : program.values) v = in.real();
        program.chunk.clear();
    }
    return true;
}
}  // namespace

std::vector<uint8_t> serializeFxProgram(const FxProgram& program) {
    Writer out;
    writeProgram(out, program);
    return out.bytes;
}

std::vector<uint8_t> serializeFxBank(const FxBank& bank) {
    Writer out;
    out.integer(kChunkMagic);
    out.integer(0);
    out.integer(bank.opaque ? kBankChunk : kBankValues);
    out.integer(2);
    out.integer(bank.pluginId);
    out.integer(bank.pluginVersion);
    out.integer(bank.opaque ? bank.chunkProgramCount : static_cast<int32_t>(bank.programs.size()));
    out.integer(bank.currentProgram);
    out.zeros(kBankReservedBytes);
    if (bank.opaque) {
        out.integer(static_cast<int32_t>(bank.chunk.size()));
        out.raw(bank.chunk);
    } else {
        for (const FxProgram& program : bank.programs) writeProgram(out, program);
    }
    out.patchSize();
    return out.bytes;
}

bool parseFxPreset(const std::vector<uint8_t>& bytes, FxPreset& preset, std::string& error) {
    Reader peek(bytes, 0);
    if (!peek.has(12) || peek.integer() != kChunkMagic) {
        error = "not a VST preset file: it does not start with 'CcnK'";
        return false;
    }
    peek.integer();
    const int32_t kind = peek.integer();
    if (kind == kProgramValues || kind == kProgramChunk) {
        preset.isBank = false;
        Reader in(bytes, 0);
        if (!readProgram(in, preset.program, error)) return false;
        return true;
    }
    if (kind != kBankValues && kind != kBankChunk) {
        error = "not a VST preset file: unknown kind after 'CcnK'";
        return false;
    }
    preset.isBank = true;
    FxBank& bank = preset.bank;
    Reader in(bytes, 12);
    if (!in.has(kBankHeaderBytes - 12)) {
        error = "the bank is cut short";
        return false;
    }
    const int32_t version = in.integer();
    bank.pluginId = in.integer();
    bank.pluginVersion = in.integer();
    const int32_t count = in.integer();
    const int32_t current = in.integer();
    bank.currentProgram = version >= 2 ? current : 0;
    in.skip(kBankReservedBytes);
    bank.opaque = kind == kBankChunk;
    bank.programs.clear();
    bank.chunk.clear();
    if (bank.opaque) {
        if (!in.has(4)) {
            error = "the bank chunk has no size";
            return false;
        }
        const int32_t size = in.integer();
        if (size < 0 || !in.has(static_cast<size_t>(size))) {
            error = "the bank chunk is cut short";
            return false;
        }
        bank.chunk = in.raw(static_cast<size_t>(size));
        bank.chunkProgramCount = count;
        return true;
    }
    if (count < 0 || !in.has(uint64_t{static_cast<uint32_t>(count)} * kProgramHeaderBytes)) {
        error = "the bank's programs are cut short";
        return false;
    }
    bank.programs.resize(static_cast<size_t>(count));
    for (FxProgram& program : bank.programs) {
        if (!readProgram(in, program, error)) {
            error = "in the bank: " + error;
            return false;
        }
    }
    return true;
}
