// Stands in for the data link editor: writes its working folder and each argument, one a line,
// to the file named by VEMLO_RECORD_TO (written beside it, then renamed, so it appears whole).
#include <cstdlib>
#include <filesystem>
#include <fstream>

int main(int argc, char** argv) {
    const char* target = std::getenv("VEMLO_RECORD_TO");
    if (!target) {
        return 2;
    }
    const std::string partial = std::string(target) + ".partial";
    {
        std::ofstream out(partial);
        out << std::filesystem::current_path().string() << '\n';
        for (int i = 1; i < argc; ++i) {
            out << argv[i] << '\n';
        }
    }
    std::filesystem::rename(partial, target);
    return 0;
}
