// Print jobs on the default printer through a GDI printer DC. No print dialog is
// ever shown: with no printer installed, Wine's dialog would open a modal box.
#include "platform/win32/win32_services.h"

namespace plat::win32 {
namespace {

// GDI does not always set a last error; the step's name says where it failed.
std::wstring gdiError(const wchar_t* step) {
    const DWORD code = GetLastError();
    std::wstring text = L"Printing failed (" + std::wstring(step) + L")";
    return code == ERROR_SUCCESS ? text + L"." : text + L": " + errorText(code) + L".";
}

FileStatus gdiFailure(const wchar_t* step) {
    return FileStatus{false, gdiError(step)};
}

// The typeface of the font selected into `dc`. A DC starts with the stock "System"
// font, a screen face: a printer that names no face of its own gets a plain
// fixed-pitch one.
std::wstring deviceFace(HDC dc) {
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    const std::wstring name(face);
    return name.empty() || _wcsicmp(name.c_str(), L"System") == 0 ? L"Courier New" : name;
}

// The device's typeface at `points`, in whole device units.
HFONT createPrintFont(HDC dc, float points) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(static_cast<int>(points * 10 + 0.5f), GetDeviceCaps(dc, LOGPIXELSY), 720);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    const std::wstring face = deviceFace(dc);
    wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

class Win32PrintJob final : public PrintJob {
public:
    explicit Win32PrintJob(HDC dc) : m_dc(dc) {
        const int dpiX = GetDeviceCaps(dc, LOGPIXELSX);
        const int dpiY = GetDeviceCaps(dc, LOGPIXELSY);
        m_scale = {1440.0f / static_cast<float>(dpiX > 0 ? dpiX : 96),
                   1440.0f / static_cast<float>(dpiY > 0 ? dpiY : 96)};
        SetBkMode(dc, TRANSPARENT);
    }
    ~Win32PrintJob() override {
        abort();
        if (m_font) {
            DeleteObject(m_font);
        }
    }
    Win32PrintJob(const Win32PrintJob&) = delete;
    Win32PrintJob& operator=(const Win32PrintJob&) = delete;

    Rect printableArea() const override {
        const RECT r{0, 0, GetDeviceCaps(m_dc, HORZRES), GetDeviceCaps(m_dc, VERTRES)};
        return toTwipsRect(r, m_scale);
    }

    float lineHeight() const override {
        TEXTMETRICW metrics{};
        GetTextMetricsW(m_dc, &metrics);
        return toTwips(metrics.tmHeight + metrics.tmExternalLeading, m_scale.y);
    }

    float textWidth(std::wstring_view text) const override {
        SIZE size{};
        GetTextExtentPoint32W(m_dc, text.data(), static_cast<int>(text.size()), &size);
        return toTwips(size.cx, m_scale.x);
    }

    // A font that cannot be made leaves the device's own; the text prints all the same.
    void setFontSize(float points) override {
        if (!m_dc) {
            return;
        }
        const HFONT font = createPrintFont(m_dc, points);
        if (!font) {
            return;
        }
        SelectObject(m_dc, font);
        if (m_font) {
            DeleteObject(m_font);
        }
        m_font = font;
    }

    FileStatus drawText(float x, float y, std::wstring_view text) override {
        if (!m_dc) {
            return gdiFailure(L"TextOut");
        }
        if (!TextOutW(m_dc, twipsToPixels(x, m_scale.x), twipsToPixels(y, m_scale.y), text.data(),
                      static_cast<int>(text.size()))) {
            return gdiFailure(L"TextOut");
        }
        return {};
    }

    FileStatus newSheet() override {
        if (!m_dc || EndPage(m_dc) <= 0) {
            return gdiFailure(L"EndPage");
        }
        if (StartPage(m_dc) <= 0) {
            return gdiFailure(L"StartPage");
        }
        return {};
    }

    FileStatus end() override {
        if (!m_dc) {
            return gdiFailure(L"EndDoc");
        }
        FileStatus status;
        if (EndPage(m_dc) <= 0) {
            status = gdiFailure(L"EndPage");
        } else if (EndDoc(m_dc) <= 0) {
            status = gdiFailure(L"EndDoc");
        }
        if (!status.ok) {
            AbortDoc(m_dc);
        }
        DeleteDC(m_dc);
        m_dc = nullptr;
        return status;
    }

    void abort() override {
        if (m_dc) {
            AbortDoc(m_dc);
            DeleteDC(m_dc);
            m_dc = nullptr;
        }
    }

private:
    HDC m_dc = nullptr;
    HFONT m_font = nullptr;  // deleted after the DC, which may still hold it
    Scale m_scale;
};

using GetDefaultPrinterProc = BOOL(WINAPI*)(LPWSTR, LPDWORD);

// The print spooler is loaded by the first print, not linked: as a static import it
// costs every start of the program several MiB and tens of milliseconds.
GetDefaultPrinterProc spoolerGetDefaultPrinter() {
    return libraryFunction<GetDefaultPrinterProc>(L"winspool.drv", "GetDefaultPrinterW");
}

// The default printer's name; empty when there is none (or no spooler).
std::wstring defaultPrinter() {
    const GetDefaultPrinterProc getDefaultPrinter = spoolerGetDefaultPrinter();
    if (!getDefaultPrinter) {
        return {};
    }
    DWORD size = 0;
    getDefaultPrinter(nullptr, &size);
    if (size == 0) {
        return {};
    }
    std::wstring name(size, L'\0');
    if (!getDefaultPrinter(name.data(), &size)) {
        return {};
    }
    name.resize(wcsnlen(name.c_str(), name.size()));
    return name;
}

}  // namespace

std::unique_ptr<PrintJob> Win32Printer::startJob(std::wstring_view documentName, std::wstring& error) {
    error.clear();
    const std::wstring printer = defaultPrinter();
    if (printer.empty()) {
        error = kNoPrinterMessage;
        return nullptr;
    }
    const HDC dc = CreateDCW(L"WINSPOOL", printer.c_str(), nullptr, nullptr);
    if (!dc) {
        error = L"The printer \"" + printer + L"\" cannot be opened. " + gdiError(L"CreateDC");
        return nullptr;
    }
    const std::wstring name(documentName);
    DOCINFOW doc{};
    doc.cbSize = sizeof(doc);
    doc.lpszDocName = name.c_str();
    if (StartDocW(dc, &doc) <= 0) {
        error = gdiError(L"StartDoc");
        DeleteDC(dc);
        return nullptr;
    }
    if (StartPage(dc) <= 0) {
        error = gdiError(L"StartPage");
        AbortDoc(dc);
        DeleteDC(dc);
        return nullptr;
    }
    return std::make_unique<Win32PrintJob>(dc);
}

}  // namespace plat::win32
