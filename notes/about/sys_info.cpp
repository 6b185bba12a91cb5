// Starting the system-information tool from the About dialog. Its place is read
// from two registry entries that the system's own software keeps: the tool's full
// path, or else the folder that holds its program file.
#include <algorithm>
#include <vector>

#include "notes/about/frm_about.h"
#include "platform/services/ansi_text.h"
#include "platform/services/files.h"
#include "platform/services/program_info.h"
#include "platform/services/registry.h"
#include "platform/services/shell.h"

namespace notes {
namespace {

constexpr std::string_view kPathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr std::string_view kPathValue = "PATH";
constexpr std::string_view kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr std::string_view kFolderValue = "MSINFO";
constexpr wchar_t kProgramFile[] = L"MSINFO32.EXE";
constexpr std::uint32_t kValueBufferSize = 1024;

// A 32-bit number's bytes, as stored (least significant first), read as a number and
// written in decimal.
std::wstring numberText(std::string_view bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = std::min<std::size_t>(bytes.size(), 8); i-- > 0;) {
        value = value * 256 + static_cast<unsigned char>(bytes[i]);
    }
    return std::to_wstring(value);
}

}  // namespace

// Opened for reading only: a user who may read these keys but not change them still
// finds the tool. A value without data, or text that is empty once its terminating
// zero is cut, counts as absent.
// A value of another kind is found but leaves `keyVal` as it was.
bool FrmAbout::GetKeyValue(std::string_view keyName, std::string_view subKeyRef, std::wstring& keyVal) {
    plat::Registry& registry = m_platform.registry();
    plat::RegKey key = 0;
    if (registry.openMachineKey(keyName, key) != plat::RegOpenResult::Ok) {
        keyVal.clear();
        return false;
    }
    std::vector<std::uint8_t> buffer(kValueBufferSize, 0);
    std::uint32_t size = kValueBufferSize;
    plat::RegValueKind kind = plat::RegValueKind::Other;
    const plat::RegReadResult result = registry.readValue(key, subKeyRef, kind, buffer.data(), size);
    registry.closeKey(key);
    if (result != plat::RegReadResult::Ok || size == 0 || size > kValueBufferSize) {
        keyVal.clear();
        return false;
    }
    const std::size_t kept = buffer[size - 1] == 0 ? size - 1 : size;
    const std::string value(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(kept));
    if (kind == plat::RegValueKind::Text) {
        keyVal = m_platform.ansiText().fromAnsi(value);
        if (keyVal.empty()) {
            return false;
        }
    } else if (kind == plat::RegValueKind::Number) {
        keyVal = numberText(value);
    }
    return true;
}

// The full path first, as read (no check that a file is there); else the folder, if
// it holds the tool's program file; else a tool the desktop is known to offer (a
// desktop without these registry entries).
bool FrmAbout::findSysInfo(std::wstring& path) {
    if (GetKeyValue(kPathKey, kPathValue, path)) {
        return true;
    }
    if (!GetKeyValue(kFolderKey, kFolderValue, path)) {
        path = m_platform.shell().findSystemInfoTool();
        return !path.empty();
    }
    path += std::wstring(m_platform.program().pathSeparator()) + kProgramFile;
    return m_platform.files().isOrdinaryFile(path);
}

void FrmAbout::StartSysInfo() {
    std::wstring sysInfoPath;
    if (findSysInfo(sysInfoPath) && !sysInfoPath.empty() && m_platform.shell().startProgram(sysInfoPath).ok) {
        return;
    }
    m_platform.inform(kSysInfoUnavailable, kAppTitle, plat::MsgIcon::None, m_form->handle());
}

}  // namespace notes
