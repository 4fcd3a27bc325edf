// Service dialog tests: one application object on the offscreen platform and the S.100 library
// started once, as the program does.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <filesystem>
#include <string>

#include "s100/s100.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::string runtime = (std::filesystem::temp_directory_path() / "tlvsvc-run-XXXXXX").string();
    if (mkdtemp(runtime.data()) != nullptr)
        qputenv("XDG_RUNTIME_DIR", runtime.c_str());
    ::testing::InitGoogleTest(&argc, argv);
    int result = 1;
    if (CT_Initialize(nullptr) == CT_SUCCESS) {
        QApplication app(argc, argv);
        result = RUN_ALL_TESTS();
        CT_Shutdown(nullptr);
    }
    std::error_code error;
    std::filesystem::remove_all(runtime, error);
    return result;
}
