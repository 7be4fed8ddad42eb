// The desktop's "open" action on a file, behind one replaceable service:
// the window hands the file to the desktop, a headless run only logs it.
#pragma once

#include <QString>
#include <memory>

namespace Tessor::mfc {

class ShellOpenService {
public:
    virtual ~ShellOpenService() = default;
    // The result is not reported.
    virtual void open(const QString& path) = 0;
};

class DesktopOpen : public ShellOpenService {
public:
    void open(const QString& path) override;
};

void setShellOpenService(std::shared_ptr<ShellOpenService> service);
std::shared_ptr<ShellOpenService> shellOpenService();

// GUI thread.
void ShellOpen(const QString& path);

}  // namespace Tessor::mfc
