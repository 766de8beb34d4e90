#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "FolderPlatform.h"

namespace brackwin {

// Tells where well-known folders of the system are. Each property returns the path exactly as
// the platform gives it, in UTF-8, cut at the first NUL of a 256-byte lookup buffer, or the empty
// string when the platform cannot tell; nothing is cached, expanded or checked, and nothing is
// thrown by the lookups themselves.
class clsSystemFolder {
  public:
    // Looks folders up on the platform this program was built for.
    clsSystemFolder();
    // Looks folders up through `platform`, which must outlive this object.
    explicit clsSystemFolder(FolderPlatform& platform);

    std::string Windows() const;
    std::string System() const;
    std::string Temp() const;
    std::string Desktop() const;
    std::string Programs() const;
    std::string Personal() const;
    std::string Favorites() const;
    std::string Startup() const;
    std::string Recent() const;
    std::string SendTo() const;
    std::string Fonts() const;
    std::string StartMenu() const;
    std::string Device() const;
    std::string CommonFiles() const;
    std::string Config() const;
    std::string Media() const;
    std::string ProgramFiles() const;
    std::string OldWindows() const;
    // The install folder of Visual Basic 5.0, the folder above its "winapi" folder.
    std::string VB5Install() const;

  private:
    std::string GetSpecialFolder(std::int32_t folder) const;
    std::string GetRegString(std::int32_t rootKey, const char* keyPath,
                             const char* valueName) const;

    std::unique_ptr<FolderPlatform> ownPlatform_;
    FolderPlatform& platform_;
};

}  // namespace brackwin
