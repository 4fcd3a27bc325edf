// Dialog tests: one application object on the offscreen platform for the whole process.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::string runtime = (std::filesystem::temp_directory_path() / "tlvcfg-run-XXXXXX").string();
    if (mkdtemp(runtime.data()) != nullptr) {
        qputenv("XDG_RUNTIME_DIR", runtime.c_str());
    }
    ::testing::InitGoogleTest(&argc, argv);
    int result = 0;
    {
        QApplication app(argc, argv);
        result = RUN_ALL_TESTS();
    }
    std::error_code error;
    std::filesystem::remove_all(runtime, error);
    return result;
}
