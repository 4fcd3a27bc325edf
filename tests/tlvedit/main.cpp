// The editor's tests drive real widgets, so the platform and the runtime folder are set before
// the QApplication is made, and the S.100 library runs for the whole program.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <filesystem>
#include <string>

#include "s100/s100.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string runtime = (std::filesystem::temp_directory_path() / "tlvedit-rt-XXXXXX").string();
    if (mkdtemp(runtime.data()) != nullptr)
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    int result = 1;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        CT_Initialize(nullptr);
        result = RUN_ALL_TESTS();
        CT_Shutdown(nullptr);
    }
    std::error_code error;
    std::filesystem::remove_all(runtime, error);
    return result;
}
