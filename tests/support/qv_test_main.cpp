// Runs every test in a private temporary working directory, so relative file lookups
// never see the caller's folder and nothing is left behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "support/qv_test_fonts.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    QvPinTestFonts();
    namespace fs = std::filesystem;
    std::string Pattern = (fs::temp_directory_path() / "qv-test-XXXXXX").string();
    if (mkdtemp(Pattern.data()) == nullptr) return 2;
    const fs::path Work = Pattern;
    fs::current_path(Work);
    const int Result = RUN_ALL_TESTS();
    std::error_code Ignored;
    fs::current_path(fs::temp_directory_path(), Ignored);
    fs::remove_all(Work, Ignored);
    return Result;
}
