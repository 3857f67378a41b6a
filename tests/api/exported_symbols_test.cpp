// The shared library exports exactly the functions the public header declares.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

std::set<std::string> headerDeclarations() {
    std::ifstream in(std::string(CALV_SOURCE_DIR) + "/api/calvcore.h");
    std::stringstream text;
    text << in.rdbuf();
    const std::string s = text.str();
    std::set<std::string> names;
    const std::regex decl(R"(^CALV_API [^;(\n]*?\b([A-Za-z_][A-Za-z0-9_]*)\()", std::regex::multiline);
    for (auto it = std::sregex_iterator(s.begin(), s.end(), decl); it != std::sregex_iterator(); ++it)
        names.insert((*it)[1]);
    return names;
}

std::set<std::string> libraryExports() {
    const std::string cmd = std::string("nm -D --defined-only ") + CALV_SHARED_LIBRARY;
    std::set<std::string> names;
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe) return names;
    char line[512];
    while (fgets(line, sizeof line, pipe)) {
        std::istringstream fields(line);
        std::string address, kind, name;
        if (fields >> address >> kind >> name && (kind == "T" || kind == "W")) names.insert(name);
    }
    pclose(pipe);
    return names;
}

TEST(ExportedSymbols, LibraryExportsExactlyTheHeader) {
    const auto declared = headerDeclarations();
    const auto exported = libraryExports();
    ASSERT_FALSE(declared.empty());
    ASSERT_FALSE(exported.empty()) << "could not read the symbols of " << CALV_SHARED_LIBRARY;
    for (const auto& name : declared) EXPECT_TRUE(exported.count(name)) << "declared, not exported: " << name;
    for (const auto& name : exported) EXPECT_TRUE(declared.count(name)) << "exported, not declared: " << name;
}

}  // namespace
