#include "UserInterfaceServices.h"

#include "ToolkitServices.h"

namespace brackwin {

namespace {

UserInterfaceServices* installed = nullptr;

}  // namespace

UserInterfaceServices& UserInterfaceServices::Current() {
    static ToolkitServices toolkit;
    return installed != nullptr ? *installed : toolkit;
}

void UserInterfaceServices::Install(UserInterfaceServices* services) {
    installed = services;
}

}  // namespace brackwin
