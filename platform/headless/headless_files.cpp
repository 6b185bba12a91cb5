// The headless backend's files: real files on disk, with faults a test injects and
// files a test marks hidden.
#include <cerrno>
#include <new>

#include "platform/headless/headless_services.h"

namespace plat::headless {

namespace {

using posix::fileNamePart;

// The error a test injected for files named `name` (an empty name stands for every
// file); null when there is none.
const std::wstring* injectedFault(const std::map<std::wstring, std::wstring>& faults, std::wstring_view name) {
    for (const auto& [faultName, error] : faults) {
        if (faultName.empty() || faultName == name) {
            return &error;
        }
    }
    return nullptr;
}

}  // namespace

FileStatus HeadlessFiles::readFile(std::wstring_view path, std::string& bytes) const {
    if (const std::wstring* error = injectedFault(m_state->readFaults, fileNamePart(path))) {
        bytes.clear();
        return {false, *error};
    }
    return PosixFiles::readFile(path, bytes);
}

FileStatus HeadlessFiles::writeFileAtomic(std::wstring_view path, std::string_view bytes, FileIdentity* written) {
    const std::wstring_view name = fileNamePart(path);
    if (m_state->throwingWrites.contains(name) || m_state->throwingWrites.contains(L"")) {
        throw std::bad_alloc();
    }
    if (const std::wstring* error = injectedFault(m_state->writeFaults, name)) {
        return {false, *error};
    }
    FileStatus status = PosixFiles::writeFileAtomic(path, bytes, written);
    if (status.ok) {
        ++m_state->writeCounts[std::wstring(name)];
    }
    return status;
}

int HeadlessFiles::flushFolder(const std::string& folder) const {
    return m_state->failFolderFlushes ? EIO : PosixFiles::flushFolder(folder);
}

bool HeadlessFiles::hidden(std::wstring_view path) const {
    return m_state->hidden.contains(path);
}

void HeadlessPlatform::failWrites(std::wstring name, std::wstring error) {
    m_state->writeFaults[std::move(name)] = std::move(error);
}

void HeadlessPlatform::throwOnWrites(std::wstring name) {
    m_state->throwingWrites.insert(std::move(name));
}

void HeadlessPlatform::failFolderFlushes(bool fail) {
    m_state->failFolderFlushes = fail;
}

void HeadlessPlatform::clearWriteFaults() {
    m_state->writeFaults.clear();
    m_state->throwingWrites.clear();
}

void HeadlessPlatform::failReads(std::wstring name, std::wstring error) {
    m_state->readFaults[std::move(name)] = std::move(error);
}

void HeadlessPlatform::clearReadFaults() {
    m_state->readFaults.clear();
}

int HeadlessPlatform::writeCount(std::wstring_view name) const {
    const auto it = m_state->writeCounts.find(name);
    return it != m_state->writeCounts.end() ? it->second : 0;
}

void HeadlessPlatform::markHidden(std::wstring path) {
    m_state->hidden.insert(std::move(path));
}

}  // namespace plat::headless
