#include "UserInterfaceServices.h"

#include "ToolkitServices.h"

namespace brackwin::win32 {

namespace {

UserInterfaceServices* installed = nullptr;

}  // namespace

UserInterfaceServices& UserInterfaceServices::Current() {
    static ToolkitServices system;
    return installed != nullptr ? *installed : system;
}

void UserInterfaceServices::Install(UserInterfaceServices* services) {
    installed = services;
}

}  // namespace brackwin::win32
