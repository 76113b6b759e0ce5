#include "host/tool/validate/symbol_lookup.h"

#include <cxxabi.h>
#include <elf.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

namespace {
struct FunctionSymbol {
    uint64_t start;
    uint64_t size;
    std::string name;
};

struct ModuleSymbols {
    uint64_t loadBase = 0;  // the first loadable segment's address, page-aligned
    std::vector<FunctionSymbol> table, dynamic;
};

template <typename T>
bool readAt(int fd, uint64_t offset, T* out, size_t count = 1) {
    const size_t bytes = sizeof(T) * count;
    return pread(fd, out, bytes, static_cast<off_t>(offset)) == static_cast<ssize_t>(bytes);
}

template <typename Header, typename Program, typename Section, typename Symbol>
void readSymbols(int fd, ModuleSymbols& symbols) {
    Header header;
    if (!readAt(fd, 0, &header)) return;
    uint64_t lowest = UINT64_MAX;
    for (unsigned i = 0; i < header.e_phnum; ++i) {
        Program segment;
        if (!readAt(fd, header.e_phoff + uint64_t(i) * header.e_phentsize, &segment)) return;
        if (segment.p_type == PT_LOAD && segment.p_vaddr < lowest) lowest = segment.p_vaddr;
    }
    symbols.loadBase = lowest == UINT64_MAX ? 0 : lowest & ~uint64_t(0xFFF);
    std::vector<Section> sections(header.e_shnum);
    for (unsigned i = 0; i < header.e_shnum; ++i)
        if (!readAt(fd, header.e_shoff + uint64_t(i) * header.e_shentsize, &sections[i])) return;
    for (const Section& section : sections) {
        if (section.sh_type != SHT_SYMTAB && section.sh_type != SHT_DYNSYM) continue;
        if (section.sh_link >= sections.size() || section.sh_entsize != sizeof(Symbol)) continue;
        const Section& strings = sections[section.sh_link];
        if (strings.sh_size > (uint64_t(256) << 20) || section.sh_size > (uint64_t(256) << 20)) continue;
        std::vector<char> names(static_cast<size_t>(strings.sh_size) + 1, '\0');
        std::vector<Symbol> entries(static_cast<size_t>(section.sh_size / sizeof(Symbol)));
        if (!readAt(fd, strings.sh_offset, names.data(), names.size() - 1) ||
            !readAt(fd, section.sh_offset, entries.data(), entries.size()))
            continue;
        std::vector<FunctionSymbol>& into = section.sh_type == SHT_SYMTAB ? symbols.table : symbols.dynamic;
        for (const Symbol& entry : entries) {
            const unsigned type = entry.st_info & 0xF;
            if ((type != STT_FUNC && type != STT_GNU_IFUNC) || entry.st_value == 0 ||
                entry.st_size == 0 || entry.st_name >= names.size() - 1)
                continue;
            into.push_back({entry.st_value, entry.st_size, names.data() + entry.st_name});
        }
    }
}

const ModuleSymbols& symbolsOf(const std::string& path) {
    static std::map<std::string, ModuleSymbols> cache;
    auto found = cache.find(path);
    if (found != cache.end()) return found->second;
    ModuleSymbols& symbols = cache[path];
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return symbols;
    unsigned char ident[EI_NIDENT];
    if (readAt(fd, 0, ident, EI_NIDENT) && std::memcmp(ident, ELFMAG, SELFMAG) == 0) {
        if (ident[EI_CLASS] == ELFCLASS64) readSymbols<Elf64_Ehdr, Elf64_Phdr, Elf64_Shdr, Elf64_Sym>(fd, symbols);
        else if (ident[EI_CLASS] == ELFCLASS32) readSymbols<Elf32_Ehdr, Elf32_Phdr, Elf32_Shdr, Elf32_Sym>(fd, symbols);
    }
    close(fd);
    return symbols;
}

std::string demangled(const std::string& name) {
    int status = 0;
    char* text = abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status);
    if (status != 0 || !text) return name;
    std::string result = text;
    std::free(text);
    return result;
}

const FunctionSymbol* covering(const std::vector<FunctionSymbol>& table, uint64_t address) {
    for (const FunctionSymbol& symbol : table)
        if (address >= symbol.start && address - symbol.start < symbol.size) return &symbol;
    return nullptr;
}
}  // namespace

std::string functionAt(const std::string& modulePath, uint64_t offset) {
    const ModuleSymbols& symbols = symbolsOf(modulePath);
    const uint64_t address = offset + symbols.loadBase;
    const FunctionSymbol* symbol = covering(symbols.table, address);
    if (!symbol) symbol = covering(symbols.dynamic, address);
    return symbol ? demangled(symbol->name) : "";
}
