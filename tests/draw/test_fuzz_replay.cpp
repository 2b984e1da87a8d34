// Every input kept under tests/data/fuzz/<target>/ (crash inputs found by the fuzzers) goes
// through the same checks as its fuzz target; a check that fails ends the test program.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#define LLVMFuzzerTestOneInput QvFuzzIni
#include "../../fuzz/fuzz_ini.cpp"
#undef LLVMFuzzerTestOneInput
#define LLVMFuzzerTestOneInput QvFuzzGif
#include "../../fuzz/fuzz_gif.cpp"
#undef LLVMFuzzerTestOneInput
#define LLVMFuzzerTestOneInput QvFuzzJpeg
#include "../../fuzz/fuzz_jpeg.cpp"
#undef LLVMFuzzerTestOneInput
#define LLVMFuzzerTestOneInput QvFuzzBmp
#include "../../fuzz/fuzz_bmp.cpp"
#undef LLVMFuzzerTestOneInput
#define LLVMFuzzerTestOneInput QvFuzzPng
#include "../../fuzz/fuzz_png.cpp"
#undef LLVMFuzzerTestOneInput
#define LLVMFuzzerTestOneInput QvFuzzSurfaceData
#include "../../fuzz/fuzz_surface_data.cpp"
#undef LLVMFuzzerTestOneInput

TEST(FuzzReplay, KeptInputsPassTheirTargetsChecks) {
    namespace fs = std::filesystem;
    const std::map<std::string, int (*)(const uint8_t*, size_t)> Targets = {
        {"fuzz_ini", QvFuzzIni}, {"fuzz_gif", QvFuzzGif}, {"fuzz_jpeg", QvFuzzJpeg},
        {"fuzz_bmp", QvFuzzBmp}, {"fuzz_png", QvFuzzPng}, {"fuzz_surface_data", QvFuzzSurfaceData}};
    int Replayed = 0;
    for (const fs::directory_entry& Folder : fs::directory_iterator(fs::path(QV_TEST_DATA_DIR) / "fuzz")) {
        // The skin layer's targets are replayed by the skin tests.
        if (Folder.path().filename().string() == "fuzz_imagelist") continue;
        const auto Target = Targets.find(Folder.path().filename().string());
        if (Target == Targets.end()) {
            ADD_FAILURE() << "no replay for the inputs of " << Folder.path().filename();
            continue;
        }
        for (const fs::directory_entry& Input : fs::directory_iterator(Folder.path())) {
            std::ifstream In(Input.path(), std::ios::binary);
            const std::string Bytes((std::istreambuf_iterator<char>(In)), {});
            SCOPED_TRACE(Input.path().filename().string());
            EXPECT_EQ(Target->second(reinterpret_cast<const uint8_t*>(Bytes.data()), Bytes.size()), 0);
            ++Replayed;
        }
    }
    EXPECT_GT(Replayed, 0);
}
