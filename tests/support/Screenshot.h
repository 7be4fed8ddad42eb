// Screens written for a person to look at: build/artifacts/<name>.png.
// The test target defines TESSOR_ARTIFACTS.
#pragma once

#include <QString>
#include <QWidget>
#include <filesystem>
#include <string>

namespace test_support {

inline bool saveScreenshot(QWidget& widget, const std::string& name)
{
    std::filesystem::create_directories(TESSOR_ARTIFACTS);
    return widget.grab().save(QString::fromStdString(std::string(TESSOR_ARTIFACTS) + "/" + name + ".png"));
}

}  // namespace test_support
