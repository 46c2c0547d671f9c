// Renders the Win32 operator windows with sample contents into PNG files for the documentation:
//   korvex-ui-screenshots-win32 <folder>
// Each window is shown, given time to paint, copied from the screen into a DIB and saved through
// the WIC PNG encoder. Needs a desktop that draws: Windows, or Wine's X11 driver on Xvfb. Under
// Wine without a window manager, set "Decorated"="N" under HKCU\Software\Wine\X11 Driver so that
// Wine draws the frames itself, and put Wine's marlett.ttf (Debian: fonts-wine) into the prefix's
// windows\Fonts for the caption buttons.
#include <wincodec.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/win32/Win32Text.h"
#include "text/Cp1255.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/Win32OperatorUi.h"
#include "ui/win32/Win32Windows.h"
#include "ui/win32/WinUi.h"

namespace {

using namespace korvex;
using namespace korvex::win32ui;
namespace fs = std::filesystem;

fs::path outDir;
bool allSaved = true;

std::string hebrew(const char* utf8) { return cp1255::fromUtf8(utf8); }

// Lets the windows paint: a few rounds of the message queue with short pauses.
void settle() {
    for (int i = 0; i < 10; ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(30);
    }
}

bool savePng(HBITMAP bitmap, int width, int height, const fs::path& file) {
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IWICBitmap* source = nullptr;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
    const bool ok =
        SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(
            factory->CreateBitmapFromHBITMAP(bitmap, nullptr, WICBitmapIgnoreAlpha, &source)) &&
        SUCCEEDED(factory->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromFilename(file.wstring().c_str(), GENERIC_WRITE)) &&
        SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
        SUCCEEDED(frame->Initialize(nullptr)) &&
        SUCCEEDED(frame->SetSize(UINT(width), UINT(height))) &&
        SUCCEEDED(frame->SetPixelFormat(&format)) &&
        SUCCEEDED(frame->WriteSource(source, nullptr)) && SUCCEEDED(frame->Commit()) &&
        SUCCEEDED(encoder->Commit());
    for (IUnknown* p : {static_cast<IUnknown*>(frame), static_cast<IUnknown*>(encoder),
                        static_cast<IUnknown*>(stream), static_cast<IUnknown*>(source),
                        static_cast<IUnknown*>(factory)}) {
        if (p != nullptr) p->Release();
    }
    return ok;
}

// A screen area (the window and what it shows, frame included) into a PNG file.
bool saveArea(const RECT& r, const fs::path& file) {
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY | CAPTUREBLT);
    SelectObject(memory, old);
    const bool ok = savePng(bitmap, width, height, file);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

void save(HWND window, const char* name) {
    bool ok = window != nullptr;
    if (ok) {
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        settle();
        RECT r;
        GetWindowRect(window, &r);
        ok = saveArea(r, outDir / name);
    }
    std::fprintf(ok ? stdout : stderr, "%s %s\n", ok ? "wrote" : "could not write", name);
    allSaved &= ok;
}

// A modal dialog's onShown: its picture, then it closes.
OnShown shootAndClose(const char* name) {
    return [name](HWND dialog) {
        save(dialog, name);
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    };
}

// A sample cheque picture for the full-details dialog, drawn here and saved through WIC too.
fs::path sampleCheque() {
    const int width = 600, height = 260;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    RECT all{0, 0, width, height};
    HBRUSH paper = CreateSolidBrush(RGB(246, 243, 228));
    FillRect(dc, &all, paper);
    DeleteObject(paper);
    HFONT font = CreateFontW(-24, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                             ANTIALIASED_QUALITY, 0, L"DejaVu Sans");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    RECT bank{20, 20, 580, 60}, amount{20, 90, 580, 130}, micr{20, 200, 580, 240};
    DrawTextW(dc, win32::widenUtf8("בנק לדוגמה בע\"מ").c_str(), -1, &bank,
              DT_RIGHT | DT_RTLREADING | DT_SINGLELINE);
    DrawTextW(dc, L"1,250.00", -1, &amount, DT_LEFT | DT_SINGLELINE);
    DrawTextW(dc, L"A1234567 C12A12345E 1234?6C", -1, &micr, DT_CENTER | DT_SINGLELINE);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    SelectObject(dc, oldBitmap);
    const fs::path file = fs::temp_directory_path() / "korvex-sample-cheque.png";
    if (!savePng(bitmap, width, height, file)) std::fprintf(stderr, "no sample cheque\n");
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return file;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: korvex-ui-screenshots-win32 <folder>\n");
        return 2;
    }
    outDir = argv[1];
    std::error_code error;
    fs::create_directories(outDir, error);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Win32OperatorUi shell;

    ChequeDialogInput in;
    in.ChequeNum = "1234567";
    in.BankNum = "12";
    in.BranchNum = "12345";
    in.AccountNum = "1234?6";
    in.verifyCaption = hebrew("הצ'ק לא תקין, קוד שגיאה 3. סמן תיבה זו כדי להתעלם.");
    runChequeData(nullptr, in, shootAndClose("win32-cheque-data.png"));
    in.imageFile = sampleCheque();
    runChequeFull(nullptr, in, CalendarDate{6, 12, 2026}, [](HWND dialog) {
        setText(GetDlgItem(dialog, id::txtAmount), "1250.00");
        shootAndClose("win32-cheque-full.png")(dialog);
    });
    fs::remove(in.imageFile, error);

    DetailsWindow details(ui::DetailsHooks{});
    details.addProfile("Default");
    details.addProfile(hebrew("בנק12"));
    details.selectProfile(0);
    details.setLastDataSent("1234567{TAB}12{TAB}12345{TAB}123456{ENTER}");
    details.setReaderData("A1234567 C12A12345E 123456C\r\n<<<48213 bytes of image data>>>\r\n");
    details.showDetails();
    save(details.hwnd(), "win32-details.png");
    ShowWindow(details.hwnd(), SW_HIDE);

    ManualDebugWindow debug([](int) {});
    debug.run(nullptr, shootAndClose("win32-debug.png"));

    shell.fileXferShow("images\\1234567_12_12345.tif");
    shell.fileXferProgress(0.37, "37%");
    save(shell.fileXferWindow(), "win32-transfer.png");
    shell.fileXferClose();

    runInputBox(nullptr, hebrew("שם הקובץ החדש:"), hebrew("איפוס קובץ CSV"),
                "Cheques_2026-12-06.csv", shootAndClose("win32-input-box.png"));

    shell.showSplash(60000, false);
    save(FindWindowW(L"KorvexSplash", nullptr), "win32-splash.png");

    CoUninitialize();
    return allSaved ? 0 : 1;
}
