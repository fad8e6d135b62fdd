// The window tests' entry: one application object for all of them, with the program's look.
#include <gtest/gtest.h>
#include <QApplication>

#include "app/ProgramLook.h"

namespace {

QtMessageHandler qtDefaultHandler = nullptr;

// The offscreen platform says so for every window of fixed size; it says nothing about the code.
void QuietAboutSizeHints(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QStringLiteral("does not support propagateSizeHints"))) {
        return;
    }
    qtDefaultHandler(type, context, text);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) {
        return RUN_ALL_TESTS();  // listing needs no screen, and the build lists without one
    }
    qtDefaultHandler = qInstallMessageHandler(QuietAboutSizeHints);
    QApplication application(argc, argv);
    zorvik::InstallProgramLook(application);
    return RUN_ALL_TESTS();
}
