// Pictures decoded by an independent reader: Debian's Python Imaging Library.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

namespace calv::test {

struct PilPicture {
    bool ok = false;
    int width = 0, height = 0;
    double dpi = 0;  // 0 when the file says none
    std::vector<unsigned char> rgba;
};

// Decodes `path` (first frame) to RGBA with PIL.
inline PilPicture pilDecode(const std::string& path) {
    const std::string script =
        "import sys\n"
        "from PIL import Image\n"
        "im = Image.open(sys.argv[1]); d = im.info.get('dpi', (0, 0))\n"
        "sys.stdout.write('%d %d %f\\n' % (im.size[0], im.size[1], float(d[0])))\n"
        "sys.stdout.flush()\n"
        "sys.stdout.buffer.write(im.convert('RGBA').tobytes())\n";
    const std::string command = "/usr/bin/python3 -c \"" + [&] {
        std::string escaped;
        for (char c : script) {
            if (c == '"' || c == '\\') escaped += '\\';
            escaped += c;
        }
        return escaped;
    }() + "\" '" + path + "' 2>/dev/null";
    PilPicture p;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return p;
    if (std::fscanf(pipe, "%d %d %lf", &p.width, &p.height, &p.dpi) == 3 && std::fgetc(pipe) == '\n') {
        p.rgba.resize(std::size_t(p.width) * std::size_t(p.height) * 4);
        p.ok = std::fread(p.rgba.data(), 1, p.rgba.size(), pipe) == p.rgba.size();
    }
    p.ok = pclose(pipe) == 0 && p.ok;
    return p;
}

}  // namespace calv::test
