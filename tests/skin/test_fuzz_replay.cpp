// Inputs kept under tests/data/fuzz/fuzz_imagelist/ go through the image-list fuzz
// target's checks; a check that fails ends the test program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../../fuzz/fuzz_imagelist.cpp"

TEST(FuzzReplay, KeptImageListInputsPassTheTargetsChecks) {
    namespace fs = std::filesystem;
    LLVMFuzzerInitialize(nullptr, nullptr);
    int Replayed = 0;
    for (const fs::directory_entry& Input : fs::directory_iterator(fs::path(QV_TEST_DATA_DIR) / "fuzz" / "fuzz_imagelist")) {
        std::ifstream In(Input.path(), std::ios::binary);
        const std::string Bytes((std::istreambuf_iterator<char>(In)), {});
        SCOPED_TRACE(Input.path().filename().string());
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(Bytes.data()), Bytes.size()), 0);
        ++Replayed;
    }
    EXPECT_GT(Replayed, 0);
    FreePelluxResDM();
}
