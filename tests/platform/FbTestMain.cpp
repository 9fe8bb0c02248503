#include <gtest/gtest.h>

#include <clocale>

int main(int argc, char** argv) {
    // The client converts file names between UTF-8 and the process's character set; run in a
    // UTF-8 locale, as the application does (Qt takes it from the environment).
    std::setlocale(LC_ALL, "C.UTF-8");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
