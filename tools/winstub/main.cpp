// The Windows launcher of an executable book.
//
// Quorvel writes a book as this program with the book's files appended to it (the
// layout is described in docs/desktop-packages.md). When started, the program reads
// the book from the end of its own file, unpacks it once into
// %LOCALAPPDATA%\Quorvel\Books\<book id>\ and opens its main page: in an application
// window of Microsoft Edge or Google Chrome (with its own profile, so the recorded
// window size applies), or in the default browser when neither is installed.

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kFooterMagic[8] = {'Q', 'V', 'B', 'O', 'O', 'K', 'X', '1'};
const char kIndexMagic[4] = {'Q', 'V', 'I', 'X'};
constexpr uint32_t kVersion = 1;
constexpr DWORD kFooterSize = 32;
constexpr uint32_t kMaxIndexSize = 64u * 1024 * 1024;
constexpr size_t kMaxNameLength = 200;
constexpr DWORD kChunk = 1u << 20;
const wchar_t kCompleteMarker[] = L".quorvel-complete";

// ---- checksums ----------------------------------------------------------------

uint32_t crcTable[256];

void initCrc()
{
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        crcTable[n] = c;
    }
}

uint32_t crcUpdate(uint32_t crc, const unsigned char *data, size_t length)
{
    crc = ~crc;
    for (size_t i = 0; i < length; ++i)
        crc = crcTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

// ---- text ---------------------------------------------------------------------

std::wstring fromUtf8(const std::string &text)
{
    if (text.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring out(n > 0 ? n : 0, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), &out[0], n);
    return out;
}

std::string toUtf8(const std::wstring &text)
{
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

// ---- the book index -------------------------------------------------------------

struct Entry
{
    std::wstring name; // with backslashes
    uint64_t offset = 0;
    uint64_t size = 0;
    uint32_t crc = 0;
};

struct Book
{
    std::wstring title;
    std::wstring windowSize;
    std::wstring mainPage;
    std::wstring id;
    uint64_t dataStart = 0;
    std::vector<Entry> entries;
};

class Reader
{
public:
    Reader(const unsigned char *data, size_t size) : m_data(data), m_size(size), m_pos(4) {}

    template <typename T>
    bool get(T &value)
    {
        if (m_size - m_pos < sizeof(T))
            return false;
        value = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            value |= T(m_data[m_pos + i]) << (8 * i);
        m_pos += sizeof(T);
        return true;
    }

    bool text(std::wstring &value)
    {
        uint16_t length = 0;
        if (!get(length) || m_size - m_pos < length)
            return false;
        value = fromUtf8(std::string(reinterpret_cast<const char *>(m_data + m_pos), length));
        m_pos += length;
        return true;
    }

    bool atEnd() const { return m_pos == m_size; }

private:
    const unsigned char *m_data;
    size_t m_size;
    size_t m_pos;
};

bool isDeviceName(const std::wstring &part)
{
    std::wstring stem = part.substr(0, part.find(L'.'));
    for (wchar_t &c : stem)
        c = (c >= L'a' && c <= L'z') ? wchar_t(c - 32) : c;
    if (stem == L"CON" || stem == L"PRN" || stem == L"AUX" || stem == L"NUL" || stem == L"CONIN$" ||
        stem == L"CONOUT$")
        return true;
    return stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) &&
           stem[3] >= L'1' && stem[3] <= L'9';
}

// The same rule the writer applies: a relative name that stays inside the book folder.
bool isSafeName(const std::wstring &name)
{
    if (name.empty() || name.size() > kMaxNameLength)
        return false;
    size_t start = 0;
    while (true) {
        const size_t slash = name.find(L'/', start);
        const std::wstring part = name.substr(start, slash == std::wstring::npos ? std::wstring::npos : slash - start);
        if (part.empty() || part.size() > 255 || part == L"." || part == L"..")
            return false;
        if (part.back() == L'.' || part.back() == L' ')
            return false;
        for (wchar_t c : part)
            if (c < 0x20 || c == 0x7F || wcschr(L"<>:\"\\|?*", c))
                return false;
        if (isDeviceName(part))
            return false;
        if (slash == std::wstring::npos)
            return true;
        start = slash + 1;
    }
}

std::wstring toBackslashes(std::wstring name)
{
    for (wchar_t &c : name)
        if (c == L'/')
            c = L'\\';
    return name;
}

class File
{
public:
    explicit File(HANDLE handle) : m_handle(handle) {}
    ~File()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    File(const File &) = delete;
    File &operator=(const File &) = delete;

    bool isOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE handle() const { return m_handle; }

    bool readAt(uint64_t offset, void *buffer, DWORD length)
    {
        LARGE_INTEGER at;
        at.QuadPart = LONGLONG(offset);
        if (!SetFilePointerEx(m_handle, at, nullptr, FILE_BEGIN))
            return false;
        return readNext(buffer, length);
    }

    bool readNext(void *buffer, DWORD length)
    {
        DWORD done = 0;
        while (done < length) {
            DWORD got = 0;
            if (!ReadFile(m_handle, static_cast<char *>(buffer) + done, length - done, &got, nullptr) || got == 0)
                return false;
            done += got;
        }
        return true;
    }

    bool writeAll(const void *buffer, DWORD length)
    {
        DWORD done = 0;
        while (done < length) {
            DWORD put = 0;
            if (!WriteFile(m_handle, static_cast<const char *>(buffer) + done, length - done, &put, nullptr) ||
                put == 0)
                return false;
            done += put;
        }
        return true;
    }

private:
    HANDLE m_handle;
};

uint64_t readU64(const unsigned char *p)
{
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

uint32_t readU32(const unsigned char *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool readBook(File &self, Book &book)
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(self.handle(), &size) || uint64_t(size.QuadPart) < kFooterSize)
        return false;
    const uint64_t fileSize = uint64_t(size.QuadPart);
    unsigned char footer[kFooterSize];
    if (!self.readAt(fileSize - kFooterSize, footer, kFooterSize) || memcmp(footer, kFooterMagic, 8) != 0)
        return false;
    book.dataStart = readU64(footer + 8);
    const uint64_t indexAt = readU64(footer + 16);
    const uint32_t indexSize = readU32(footer + 24);
    const uint32_t indexCrc = readU32(footer + 28);
    if (indexAt > fileSize || indexAt < book.dataStart || indexSize > kMaxIndexSize || indexSize < 4 ||
        indexAt + indexSize + kFooterSize != fileSize)
        return false;
    std::vector<unsigned char> index(indexSize);
    if (!self.readAt(indexAt, index.data(), indexSize) || memcmp(index.data(), kIndexMagic, 4) != 0 ||
        crcUpdate(0, index.data(), index.size()) != indexCrc)
        return false;

    Reader reader(index.data(), index.size());
    uint32_t version = 0, count = 0;
    if (!reader.get(version) || version != kVersion || !reader.get(count) || !reader.text(book.title) ||
        !reader.text(book.windowSize) || !reader.text(book.mainPage) || !reader.text(book.id))
        return false;
    if (!isSafeName(book.mainPage) || !isSafeName(book.id))
        return false;
    const uint64_t dataSize = indexAt - book.dataStart;
    for (uint32_t i = 0; i < count; ++i) {
        Entry e;
        if (!reader.text(e.name) || !reader.get(e.offset) || !reader.get(e.size) || !reader.get(e.crc))
            return false;
        if (!isSafeName(e.name) || e.offset > dataSize || e.size > dataSize - e.offset)
            return false;
        e.name = toBackslashes(e.name);
        book.entries.push_back(e);
    }
    return reader.atEnd();
}

// ---- files --------------------------------------------------------------------

// Paths below the book folder can be long; the "\\?\" form lifts the 260-character
// limit for the file functions.
std::wstring longPath(const std::wstring &path)
{
    if (path.compare(0, 4, L"\\\\?\\") == 0)
        return path;
    if (path.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

bool exists(const std::wstring &path)
{
    return GetFileAttributesW(longPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool makeFolders(const std::wstring &path)
{
    if (CreateDirectoryW(longPath(path).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
        return true;
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash < 3)
        return false;
    if (!makeFolders(path.substr(0, slash)))
        return false;
    return CreateDirectoryW(longPath(path).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void removeTree(const std::wstring &path)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(longPath(path + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = path + L"\\" + name;
            // Links are removed, never followed.
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                removeTree(child);
            } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveDirectoryW(longPath(child).c_str());
            } else {
                SetFileAttributesW(longPath(child).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(longPath(child).c_str());
            }
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(longPath(path).c_str());
}

bool extractEntry(File &self, const Book &book, const Entry &entry, const std::wstring &folder)
{
    const std::wstring target = folder + L"\\" + entry.name;
    const size_t slash = target.find_last_of(L'\\');
    if (!makeFolders(target.substr(0, slash)))
        return false;
    File out(CreateFileW(longPath(target).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.isOpen())
        return false;
    LARGE_INTEGER at;
    at.QuadPart = LONGLONG(book.dataStart + entry.offset);
    if (!SetFilePointerEx(self.handle(), at, nullptr, FILE_BEGIN))
        return false;
    std::vector<unsigned char> buffer(kChunk);
    uint64_t left = entry.size;
    uint32_t crc = 0;
    while (left > 0) {
        const DWORD length = DWORD(left < kChunk ? left : kChunk);
        if (!self.readNext(buffer.data(), length) || !out.writeAll(buffer.data(), length))
            return false;
        crc = crcUpdate(crc, buffer.data(), length);
        left -= length;
    }
    return crc == entry.crc;
}

// Unpacks into a private folder first and moves it into place only when complete,
// so an interrupted first start never leaves a half book that later starts trust.
bool unpackBook(File &self, const Book &book, const std::wstring &folder)
{
    if (exists(folder + L"\\" + kCompleteMarker))
        return true;
    const std::wstring partial = folder + L".part" + std::to_wstring(GetCurrentProcessId());
    removeTree(partial);
    if (!makeFolders(partial))
        return false;
    for (const Entry &entry : book.entries) {
        if (!extractEntry(self, book, entry, partial)) {
            removeTree(partial);
            return false;
        }
    }
    File marker(CreateFileW(longPath(partial + L"\\" + kCompleteMarker).c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr));
    if (!marker.isOpen()) {
        removeTree(partial);
        return false;
    }
    if (exists(folder))
        removeTree(folder);
    if (!MoveFileExW(longPath(partial).c_str(), longPath(folder).c_str(), 0)) {
        // Another start of the same book may have finished first.
        removeTree(partial);
        return exists(folder + L"\\" + kCompleteMarker);
    }
    return true;
}

// ---- opening --------------------------------------------------------------------

std::wstring registryPath(HKEY root, const wchar_t *exe)
{
    const std::wstring key = std::wstring(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") + exe;
    wchar_t value[MAX_PATH * 2];
    DWORD size = sizeof(value);
    if (RegGetValueW(root, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return {};
    std::wstring path = value;
    if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"')
        path = path.substr(1, path.size() - 2);
    return exists(path) ? path : std::wstring();
}

std::wstring knownBrowser()
{
    for (const wchar_t *exe : {L"msedge.exe", L"chrome.exe"}) {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            const std::wstring path = registryPath(root, exe);
            if (!path.empty())
                return path;
        }
    }
    return {};
}

std::wstring fileUrl(const std::wstring &path)
{
    const std::string utf8 = toUtf8(path);
    std::wstring url = L"file:///";
    static const char hex[] = "0123456789ABCDEF";
    for (unsigned char c : utf8) {
        if (c == '\\') {
            url += L'/';
        } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                   strchr("-._~/:", c)) {
            url += wchar_t(c);
        } else {
            url += L'%';
            url += wchar_t(hex[c >> 4]);
            url += wchar_t(hex[c & 15]);
        }
    }
    return url;
}

bool parseCustomSize(const std::wstring &text, int &width, int &height)
{
    if (text.compare(0, 7, L"CUSTOM:") != 0)
        return false;
    const std::wstring rest = text.substr(7);
    const size_t comma = rest.find(L',');
    if (comma == std::wstring::npos || comma == 0 || comma + 1 >= rest.size() || rest.size() > 12)
        return false;
    for (size_t i = 0; i < rest.size(); ++i)
        if (i != comma && (rest[i] < L'0' || rest[i] > L'9'))
            return false;
    width = _wtoi(rest.substr(0, comma).c_str());
    height = _wtoi(rest.substr(comma + 1).c_str());
    return width > 0 && height > 0;
}

bool openInBrowserWindow(const Book &book, const std::wstring &page, const std::wstring &profile)
{
    const std::wstring browser = knownBrowser();
    if (browser.empty())
        return false;
    std::wstring command = L"\"" + browser + L"\" --app=\"" + fileUrl(page) + L"\" --user-data-dir=\"" + profile +
                           L"\" --no-first-run --no-default-browser-check";
    int width = 0, height = 0;
    if (parseCustomSize(book.windowSize, width, height)) {
        const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
        command += L" --window-size=" + std::to_wstring(width) + L"," + std::to_wstring(height);
        command += L" --window-position=" + std::to_wstring(x > 0 ? x : 0) + L"," + std::to_wstring(y > 0 ? y : 0);
    } else if (book.windowSize == L"FULLSCREEN") {
        command += L" --start-fullscreen";
    } else {
        command += L" --start-maximized";
    }
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(L'\0');
    if (!CreateProcessW(browser.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

void showError(const std::wstring &title, const std::wstring &text)
{
    MessageBoxW(nullptr, text.c_str(), title.empty() ? L"Book" : title.c_str(), MB_OK | MB_ICONERROR);
}

std::wstring ownPath()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    while (true) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (n == 0)
            return {};
        if (n < buffer.size())
            return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    initCrc();
    const std::wstring self = ownPath();
    File file(CreateFileW(longPath(self).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    Book book;
    if (self.empty() || !file.isOpen() || !readBook(file, book)) {
        showError(L"Book", L"This book cannot be opened: its contents are missing or damaged.");
        return 1;
    }

    wchar_t appData[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, appData))) {
        showError(book.title, L"The folder for application data cannot be found.");
        return 1;
    }
    const std::wstring books = std::wstring(appData) + L"\\Quorvel\\Books";
    const std::wstring folder = books + L"\\" + book.id;
    if (!makeFolders(books) || !unpackBook(file, book, folder)) {
        showError(book.title, L"The book cannot be unpacked into " + folder +
                                  L".\nThe disk may be full, or the book file is damaged.");
        return 1;
    }

    const std::wstring page = folder + L"\\" + toBackslashes(book.mainPage);
    if (openInBrowserWindow(book, page, folder + L".profile"))
        return 0;
    if (reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32)
        return 0;
    showError(book.title, L"No web browser could open the book at " + page + L".");
    return 1;
}
