// Starting the system-information tool from the About dialog. Its place is read
// from two registry entries that the system's own software keeps: the tool's full
// path, or else the folder that holds its program file.
#include <algorithm>
#include <vector>

#include "notes/about/frm_about.h"

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
bool FrmAbout::GetKeyValue(std::uint32_t keyRoot, std::string_view keyName, std::string_view subKeyRef,
                           std::wstring& keyVal) {
    plat::RegKey key = 0;
    if (m_platform.regOpenKey(keyRoot, keyName, plat::kKeyRead, key) != 0) {
        keyVal.clear();
        return false;
    }
    std::vector<std::uint8_t> buffer(kValueBufferSize, 0);
    std::uint32_t size = kValueBufferSize;
    std::uint32_t type = 0;
    const long result = m_platform.regQueryValue(key, subKeyRef, type, buffer.data(), size);
    if (result != 0 || size == 0 || size > kValueBufferSize) {
        m_platform.regCloseKey(key);
        keyVal.clear();
        return false;
    }
    const std::size_t kept = buffer[size - 1] == 0 ? size - 1 : size;
    const std::string value(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(kept));
    m_platform.regCloseKey(key);
    if (type == plat::kRegSz) {
        keyVal = m_platform.fromAnsi(value);
        if (keyVal.empty()) {
            return false;
        }
    } else if (type == plat::kRegDword) {
        keyVal = numberText(value);
    }
    return true;
}

// The full path first, as read (no check that a file is there); else the folder, if
// it holds the tool's program file.
bool FrmAbout::findSysInfo(std::wstring& path) {
    if (GetKeyValue(plat::kHKeyLocalMachine, kPathKey, kPathValue, path)) {
        return true;
    }
    if (!GetKeyValue(plat::kHKeyLocalMachine, kFolderKey, kFolderValue, path)) {
        return false;
    }
    path += std::wstring(m_platform.pathSeparator()) + kProgramFile;
    return m_platform.isOrdinaryFile(path);
}

void FrmAbout::StartSysInfo() {
    std::wstring sysInfoPath;
    if (findSysInfo(sysInfoPath) && !sysInfoPath.empty() && m_platform.startProgram(sysInfoPath).ok) {
        return;
    }
    m_platform.messageBox(
        {kSysInfoUnavailable, kAppTitle, plat::MsgButtons::Ok, plat::MsgIcon::None, 1, m_form->handle()});
}

}  // namespace notes
