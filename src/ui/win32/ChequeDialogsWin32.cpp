// frmChequeData and frmChequeFull on Win32: one window class for both, the full-details variant
// adding the amount, the masked date box and the cheque's picture.

#include "ui/win32/WinUi.h"
// After windows.h, which WinUi.h brings in.
#include <commctrl.h>
#include <wincodec.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "platform/win32/Win32Text.h"
#include "text/Cp1255.h"
#include "ui/AutoResize.h"
#include "ui/ChequeDialogs.h"
#include "ui/DateBoxCaret.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/Win32Windows.h"

namespace korvex::win32ui {

namespace {

// Posted to a box when it got the focus, after the dialog manager's own select-all.
constexpr UINT kRestoreMark = WM_APP + 1;

bool isTypedByte(WPARAM character, int byte) {
    if (character == L'\t' || character == L'\r' || character == L'\n') return false;
    const std::wstring typed(1, static_cast<wchar_t>(character));
    const std::string cp1255 = win32::narrow(typed);
    return cp1255.size() == 1 && static_cast<unsigned char>(cp1255[0]) == byte &&
           win32::widen(cp1255) == typed;
}

// A text box of the cheque dialogs: the profile's TabChar enters the character and moves the
// focus on; Enter walks the chain of fields when `next` is set; the reader's unreadable part
// (MarkMissingData) is selected again whenever the box is reached while its text is still the
// reader's; the operator's typing is limited (the reader's text is put in whole).
class TextBox : public ControlHook {
public:
    TextBox(HWND control, int tabChar) : tabChar_(tabChar) { attach(control); }

    void fillAndMark(const std::string& cp1255Text) {
        filling_ = true;
        setText(control(), cp1255Text);
        filling_ = false;
        // One Windows-1255 byte is one character of the box, so the positions carry over.
        mark_ = MarkMissingData(cp1255Text);
        markText_ = cp1255Text;
        hasMark_ = true;
        if (mark_) {
            SendMessageW(control(), EM_SETSEL, WPARAM(mark_->start),
                         LPARAM(mark_->start + mark_->length));
        }
        if (limit_ > 0) {
            ceiling_ = std::max(limit_, static_cast<int>(cp1255Text.size()));
            SendMessageW(control(), EM_SETLIMITTEXT, WPARAM(ceiling_), 0);
        }
    }
    void setLimit(int limit) {
        limit_ = ceiling_ = limit;
        SendMessageW(control(), EM_SETLIMITTEXT, WPARAM(limit), 0);
    }
    // The operator shortened the text: the limit shrinks with it, down to the box's own.
    void textChanged() {
        if (filling_ || limit_ <= 0) return;
        const int length = GetWindowTextLengthW(control());
        ceiling_ = std::max(limit_, std::min(ceiling_, length));
        SendMessageW(control(), EM_SETLIMITTEXT, WPARAM(ceiling_), 0);
    }
    HWND next = nullptr;  // where Enter goes; null: Enter is the dialog's

protected:
    // The box's handling of a typed character.
    virtual void typeChar(WPARAM character, LPARAM lParam) { original(WM_CHAR, character, lParam); }

    bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        switch (message) {
            case WM_GETDLGCODE: {
                result = original(message, wParam, lParam);
                const auto* msg = reinterpret_cast<const MSG*>(lParam);
                if (next && msg && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) &&
                    msg->wParam == VK_RETURN) {
                    result |= DLGC_WANTALLKEYS;
                }
                return true;
            }
            case WM_KEYDOWN:
                if (wParam != VK_RETURN || !next) return false;
                focusAsTab(next);
                return true;
            case WM_CHAR: {
                if (wParam == L'\r' && next) return true;
                const bool movesOn = isTypedByte(wParam, tabChar_);
                typeChar(wParam, lParam);
                // The box takes the character first, then the focus moves on.
                if (movesOn) {
                    HWND dialog = GetParent(control());
                    focusAsTab(GetNextDlgTabItem(dialog, control(), FALSE));
                }
                return true;
            }
            case WM_SETFOCUS:
                if (hasMark_) PostMessageW(control(), kRestoreMark, 0, 0);
                return false;
            case kRestoreMark:
                if (getText(control()) == markText_) {
                    if (mark_) {
                        SendMessageW(control(), EM_SETSEL, WPARAM(mark_->start),
                                     LPARAM(mark_->start + mark_->length));
                    } else {
                        // A field read in full is not selected, so typing does not wipe it.
                        const auto end = WPARAM(GetWindowTextLengthW(control()));
                        SendMessageW(control(), EM_SETSEL, end, LPARAM(end));
                    }
                }
                return true;
            default: return false;
        }
    }

private:
    int tabChar_;
    bool hasMark_ = false, filling_ = false;
    std::optional<TextSelection> mark_;
    std::string markText_;
    int limit_ = 0, ceiling_ = 0;
};

// The masked date box "dd/mm/yy": digits overwrite the character at the caret, "/" stays put,
// erased digits become "_", and in overtype mode one character stays selected (DateBoxCaret).
class DateBox : public TextBox {
public:
    using TextBox::TextBox;

    void selectOneAt(int position) {
        SendMessageW(control(), EM_SETSEL, WPARAM(position), LPARAM(position + 1));
    }

protected:
    void typeChar(WPARAM character, LPARAM) override {
        if (character == L'\b') {
            erase(true);
            return;
        }
        if (character < L'0' || character > L'9') return;
        int position = selection().first;
        if (position == 2 || position == 5) ++position;
        if (position >= DateBoxCaret::kLength) return;
        std::wstring text = boxText();
        text[static_cast<size_t>(position)] = static_cast<wchar_t>(character);
        SetWindowTextW(control(), text.c_str());
        setCaret(position + 1);
    }

    bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        switch (message) {
            case WM_KEYDOWN: {
                const auto down = [](int key) { return (GetKeyState(key) & 0x8000) != 0; };
                caret_.keyDown(int(wParam), down(VK_SHIFT), down(VK_CONTROL), down(VK_MENU));
                if (wParam == VK_DELETE) {
                    erase(false);
                    return true;
                }
                break;
            }
            case WM_KEYUP: {
                result = original(message, wParam, lParam);
                keyUp(int(wParam));
                return true;
            }
            case WM_CUT:
            case WM_PASTE:
            case WM_CLEAR: return true;  // the mask keeps its eight characters
            default: break;
        }
        return TextBox::handle(message, wParam, lParam, result);
    }

private:
    std::wstring boxText() const {
        wchar_t buffer[32] = {};
        GetWindowTextW(control(), buffer, 32);
        std::wstring text = buffer;
        text.resize(DateBoxCaret::kLength, L'_');
        if (text[2] != L'/' || text[5] != L'/') text = L"__/__/__";
        return text;
    }
    std::pair<int, int> selection() const {
        DWORD start = 0, end = 0;
        SendMessageW(control(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return {int(start), int(end)};
    }
    // The caret where the box's rules look for it: the selection's start, else the caret.
    int caretPosition() const { return selection().first; }
    void setCaret(int position) {
        SendMessageW(control(), EM_SETSEL, WPARAM(position), LPARAM(position));
    }

    // Backspace blanks the digit before the caret, Delete the one under it; either blanks a
    // selection.
    void erase(bool backwards) {
        auto [start, end] = selection();
        std::wstring text = boxText();
        if (start == end) {
            if (backwards) {
                if (start == 0) return;
                start = DateBoxCaret::skipSeparator(start - 1, true);
            } else {
                if (start >= DateBoxCaret::kLength) return;
                start = DateBoxCaret::skipSeparator(start, false);
            }
            end = start + 1;
        }
        for (int i = start; i < end && i < DateBoxCaret::kLength; ++i) {
            if (i != 2 && i != 5) text[static_cast<size_t>(i)] = L'_';
        }
        SetWindowTextW(control(), text.c_str());
        setCaret(start);
    }

    void keyUp(int key) {
        const bool correction = caret_.pendingCorrection();
        // Windows sends a keypad key's digit code only while Num Lock is on; with it off the
        // key arrives as the arrow or Home it stands for.
        const bool numLock = key >= VK_NUMPAD0 && key <= VK_NUMPAD9;
        const DateBoxCaret::Action a = caret_.keyUp(key, caretPosition(), numLock);
        int position = caretPosition();
        if (a.moveCaretTo) {
            position = *a.moveCaretTo;
            setCaret(position);
        }
        if (a.selectOne) {
            // A step that ends here (no Left arrow still to come) does not stop on a "/".
            const bool backwards =
                !correction && (key == vk::Left || (key == vk::Numpad4 && !numLock));
            if (!a.sendLeft) position = DateBoxCaret::skipSeparator(position, backwards);
            selectOneAt(position);
        }
        if (a.sendLeft) {
            PostMessageW(control(), WM_KEYDOWN, VK_LEFT, 1);
            PostMessageW(control(), WM_KEYUP, VK_LEFT, LPARAM(0xC0000001));
        }
    }

    DateBoxCaret caret_;
};

// The picture of a cheque through WIC: any format Windows decodes (TIFF, JPEG, GIF ...), as a
// 32-bit DIB; null when the file is missing or is not a picture.
HBITMAP loadPicture(const std::filesystem::path& file) {
    if (file.empty()) return nullptr;
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HBITMAP bitmap = nullptr;
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    UINT width = 0, height = 0;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateDecoderFromFilename(file.wstring().c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) &&
        SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                        nullptr, 0.0, WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->GetSize(&width, &height)) && width > 0 && height > 0 &&
        width <= 20000 && height <= 20000) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = LONG(width);
        info.bmiHeader.biHeight = -LONG(height);  // top-down, as WIC gives the rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap && FAILED(converter->CopyPixels(nullptr, width * 4, width * height * 4,
                                                   static_cast<BYTE*>(bits)))) {
            DeleteObject(bitmap);
            bitmap = nullptr;
        }
    }
    if (converter) converter->Release();
    if (frame) frame->Release();
    if (decoder) decoder->Release();
    if (factory) factory->Release();
    if (SUCCEEDED(init)) CoUninitialize();
    return bitmap;
}

// The picture box: the bitmap (STM_SETIMAGE / STM_GETIMAGE) drawn as large as fits, centred,
// its proportions kept.
constexpr const wchar_t* kImageBoxClass = L"KorvexImageBox";

LRESULT CALLBACK imageBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto bitmap = reinterpret_cast<HBITMAP>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
        case STM_SETIMAGE:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, lParam);
            InvalidateRect(hwnd, nullptr, TRUE);
            return reinterpret_cast<LRESULT>(bitmap);
        case STM_GETIMAGE: return reinterpret_cast<LRESULT>(bitmap);
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            BITMAP info{};
            RECT client;
            GetClientRect(hwnd, &client);
            if (bitmap && GetObjectW(bitmap, sizeof info, &info) && client.right > 0 &&
                client.bottom > 0) {
                // Left to right, so that the mirrored window does not mirror the cheque.
                SetLayout(dc, 0);
                const double scale = std::min(double(client.right) / info.bmWidth,
                                              double(client.bottom) / info.bmHeight);
                const int w = int(info.bmWidth * scale), h = int(info.bmHeight * scale);
                HDC source = CreateCompatibleDC(dc);
                HGDIOBJ old = SelectObject(source, bitmap);
                SetStretchBltMode(dc, HALFTONE);
                StretchBlt(dc, (client.right - w) / 2, (client.bottom - h) / 2, w, h, source, 0, 0,
                           info.bmWidth, info.bmHeight, SRCCOPY);
                SelectObject(source, old);
                DeleteDC(source);
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_NCDESTROY:
            if (bitmap) DeleteObject(bitmap);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            break;
        default: break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void registerImageBox() {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = imageBoxProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kImageBoxClass;
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
}

// The dialog's controls as AutoResize sees them, in the dialog's own (mirrored) coordinates:
// scaling is the same from either edge.
class ChildWindows : public AutoResizeTarget {
public:
    ChildWindows(HWND form, std::vector<HWND> children) : form_(form), children_(children) {}
    int formWidth() const override { return clientRect().right; }
    int formHeight() const override { return clientRect().bottom; }
    std::size_t controlCount() const override { return children_.size(); }
    std::string controlName(std::size_t i) const override {
        return std::to_string(GetDlgCtrlID(children_[i])) + "#" + std::to_string(i);
    }
    std::optional<ControlBox> controlBox(std::size_t i) const override {
        RECT r;
        GetWindowRect(children_[i], &r);
        MapWindowPoints(HWND_DESKTOP, form_, reinterpret_cast<POINT*>(&r), 2);
        const int left = std::min(r.left, r.right), right = std::max(r.left, r.right);
        return ControlBox{left, r.top, right - left, r.bottom - r.top};
    }
    void setControlBox(std::size_t i, const ControlBox& b) override {
        MoveWindow(children_[i], b.left, b.top, b.width, b.height, TRUE);
    }

private:
    RECT clientRect() const {
        RECT r;
        GetClientRect(form_, &r);
        return r;
    }
    HWND form_;
    std::vector<HWND> children_;
};

constexpr int kFullWidth = 660, kFullHeight = 500, kImageTop = 196, kImageHeight = 294;

class ChequeDialog : public Window {
public:
    ChequeDialog(HWND owner, const ChequeDialogInput& input, const CalendarDate* today)
        : full_(today != nullptr) {
        if (full_) {
            createFull(owner, input, *today);
        } else {
            createData(owner, input);
        }
    }

    ChequeDialogResult run(HWND owner, const OnShown& onShown) {
        if (!hwnd()) return {};
        runModal(hwnd(), owner, ended_, initialFocus_, onShown);
        return result_;
    }

protected:
    bool handle(UINT message, WPARAM wParam, LPARAM, LRESULT&) override {
        switch (message) {
            case WM_COMMAND: {
                const int id = LOWORD(wParam);
                if (id == IDOK && HIWORD(wParam) == BN_CLICKED) {
                    cmdOK_Click();
                } else if (id == IDCANCEL && HIWORD(wParam) == BN_CLICKED) {
                    cancel();
                } else if (HIWORD(wParam) == EN_CHANGE) {
                    textChanged(id);
                }
                return true;
            }
            case WM_CLOSE: cancel(); return true;
            case WM_SIZE:
                if (autoResize_ && resizeTarget_) autoResize_->Go(*resizeTarget_, false);
                return false;
            default: return false;
        }
    }

private:
    enum Box { kCheque, kBank, kBranch, kAccount, kAmount, kDate, kBoxCount };

    void createData(HWND owner, const ChequeDialogInput& input) {
        create(owner, "הכנסת פרטי צ'ק", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_TOPMOST, 440, 250,
               true);
        if (!hwnd()) return;
        label(id::Label1,
              "הצ'ק שהועבר אינו קריא. נא למלא את פרטי הצ'ק הנכונים. יש לשים לב לאפסים גם "
              "בתחילת המספר. ניתן לעבור בין השדות עם מקש הרווח ולסיים בלחיצת אנטר.",
              10, 8, 420, 54);
        // Labels at the right, boxes beside them, buttons at the left: OK above Cancel.
        const char* captions[] = {"מס' צ'ק", "מס' בנק", "מס' סניף", "מס' חשבון"};
        for (int i = 0; i < 4; ++i) label(0, captions[i], 330, 72 + i * 32, 100, 24);
        const int ids[] = {id::ChequeNum, id::BankNum, id::BranchNum, id::AccountNum};
        for (int i = 0; i < 4; ++i) {
            boxes_[size_t(i)] = textBox(ids[i], 150, 72 + i * 32, 170, 24, input.TabChar);
        }
        addControl(L"BUTTON", "אישור", WS_TABSTOP | BS_DEFPUSHBUTTON, 10, 72, 100, 28, IDOK);
        addControl(L"BUTTON", "ביטול", WS_TABSTOP | BS_PUSHBUTTON, 10, 106, 100, 28, IDCANCEL);
        verifyCode_ = addControl(L"BUTTON", "", WS_TABSTOP | BS_AUTOCHECKBOX, 10, 206, 420, 24,
                                 id::VerifyCode);
        fill(input);
        initialFocus_ = boxes_[kCheque]->control();
    }

    void createFull(HWND owner, const ChequeDialogInput& input, CalendarDate today) {
        create(owner, "השלמת פרטי צ'ק",
               WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX, WS_EX_TOPMOST,
               kFullWidth, kFullHeight, true);
        if (!hwnd()) return;
        label(id::Label1,
              "נא להשלים את פרטי הצ'ק המלאים. יש לשים לב לאפסים גם בתחילת המספר. ניתן לעבור בין "
              "השדות עם מקש הטאב ולסיים בלחיצת אנטר.",
              10, 8, 640, 44);
        // Right-hand column: cheque, bank, branch; middle column: account, amount, date. Each
        // label stands to the right of its box.
        const int rows[] = {60, 92, 124};
        const char* captions[] = {"מס' צ'ק", "מס' בנק", "מס' סניף", "מס' חשבון", "סכום", "תאריך"};
        for (int i = 0; i < 6; ++i) label(0, captions[i], i < 3 ? 578 : 348, rows[i % 3], 72, 24);
        boxes_[kCheque] = textBox(id::ChequeNum, 430, rows[0], 140, 24, input.TabChar);
        boxes_[kBank] = textBox(id::BankNum, 430, rows[1], 140, 24, input.TabChar);
        boxes_[kBranch] = textBox(id::BranchNum, 430, rows[2], 140, 24, input.TabChar);
        boxes_[kAccount] = textBox(id::AccountNum, 200, rows[0], 140, 24, input.TabChar);
        boxes_[kAmount] = textBox(id::txtAmount, 200, rows[1], 140, 24, input.TabChar);
        HWND date = addControl(L"EDIT", "", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, 200, rows[2],
                               140, 24, id::txtDate, WS_EX_CLIENTEDGE);
        // Digits and slashes read left to right even inside a right-to-left dialog.
        SetWindowLongPtrW(date, GWL_EXSTYLE,
                          GetWindowLongPtrW(date, GWL_EXSTYLE) & ~LONG_PTR(WS_EX_LAYOUTRTL));
        auto dateBox = std::make_unique<DateBox>(date, input.TabChar);
        DateBox* dateHook = dateBox.get();
        boxes_[kDate] = std::move(dateBox);
        // Enter confirms from any box unless Enter is the field-to-field key. At the OK button
        // itself, where that chain of fields ends, Enter always confirms.
        const bool enterMovesOn = input.TabChar == 13;
        HWND ok = addControl(L"BUTTON", "אישור",
                             WS_TABSTOP | (enterMovesOn ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON), 10,
                             rows[0], 100, 28, IDOK);
        addControl(L"BUTTON", "ביטול", WS_TABSTOP | BS_PUSHBUTTON, 10, rows[0] + 34, 100, 28,
                   IDCANCEL);
        verifyCode_ = addControl(L"BUTTON", "", WS_TABSTOP | BS_AUTOCHECKBOX, 10, 160, 640, 24,
                                 id::VerifyCode);
        registerImageBox();
        image_ = addControl(kImageBoxClass, "", 0, 10, kImageTop, 640, kImageHeight, id::Image1);
        if (enterMovesOn) {
            for (int i = 0; i + 1 < kBoxCount; ++i)
                boxes_[size_t(i)]->next = boxes_[size_t(i + 1)]->control();
            boxes_[kDate]->next = ok;
        }
        const int limits[] = {13, 2, 5, 13};
        for (int i = 0; i < 4; ++i) boxes_[size_t(i)]->setLimit(limits[i]);
        fill(input);
        setText(date, dialogDateBoxText(today.day, today.month, today.year));
        dateHook->selectOneAt(0);

        HBITMAP picture = loadPicture(input.imageFile);
        if (picture) {
            SendMessageW(image_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
        } else {
            ShowWindow(image_, SW_HIDE);
            RECT r;
            GetWindowRect(hwnd(), &r);
            SetWindowPos(hwnd(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top - kImageHeight,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        initialFocus_ = boxes_[kAmount]->control();
        // The layout as built is what later sizes keep in proportion.
        std::vector<HWND> all;
        for (HWND c = GetWindow(hwnd(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            all.push_back(c);
        }
        resizeTarget_ = std::make_unique<ChildWindows>(hwnd(), all);
        autoResize_ = std::make_unique<AutoResize>();
        autoResize_->Go(*resizeTarget_, false);
    }

    void label(int controlId, const char* utf8, int left, int top, int width, int height) {
        addControl(L"STATIC", utf8, SS_LEFT, left, top, width, height, controlId);
    }

    std::unique_ptr<TextBox> textBox(int controlId, int left, int top, int width, int height,
                                     int tabChar) {
        HWND box = addControl(L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, left, top, width, height,
                              controlId, WS_EX_CLIENTEDGE);
        return std::make_unique<TextBox>(box, tabChar);
    }

    void fill(const ChequeDialogInput& input) {
        boxes_[kCheque]->fillAndMark(input.ChequeNum);
        boxes_[kBank]->fillAndMark(input.BankNum);
        boxes_[kBranch]->fillAndMark(input.BranchNum);
        boxes_[kAccount]->fillAndMark(input.AccountNum);
        if (!input.verifyCaption.empty()) {
            setText(verifyCode_, input.verifyCaption);
        } else {
            ShowWindow(verifyCode_, SW_HIDE);
        }
    }

    void textChanged(int controlId) {
        for (auto& box : boxes_) {
            if (box && GetDlgCtrlID(box->control()) == controlId) box->textChanged();
        }
        if (controlId == id::txtAmount) replaceFinalTsadi();
    }

    // On a Hebrew layout the full-stop key types final tsadi.
    void replaceFinalTsadi() {
        HWND amount = boxes_[kAmount]->control();
        wchar_t buffer[256] = {};
        GetWindowTextW(amount, buffer, 256);
        std::wstring text = buffer;
        if (text.find(L'\x05E5') == std::wstring::npos) return;
        DWORD caret = 0;
        SendMessageW(amount, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
        std::replace(text.begin(), text.end(), L'\x05E5', L'.');
        SetWindowTextW(amount, text.c_str());
        SendMessageW(amount, EM_SETSEL, caret, LPARAM(caret));
    }

    void cmdOK_Click() {
        std::string date;
        if (full_) {
            date = getText(boxes_[kDate]->control());
            if (!parseDialogDate(date)) {
                messageBox(hwnd(), cp1255::fromUtf8("תאריך לא תקין, נא לתקן."),
                           cp1255::fromUtf8("בעיה בהזנת פרטי צ'ק"), MsgIcon::Exclamation,
                           MsgButtons::Ok);
                SetFocus(boxes_[kDate]->control());
                return;
            }
        }
        const std::string c = getText(boxes_[kCheque]->control()),
                          b = getText(boxes_[kBank]->control()),
                          br = getText(boxes_[kBranch]->control()),
                          a = getText(boxes_[kAccount]->control());
        result_.MagtekLine = composeMagtekLine(c, b, br, a);
        result_.NonusLine = composeNonusLine(c, b, br, a);
        if (full_) {
            result_.AmountText = getText(boxes_[kAmount]->control());
            result_.DateText = dialogDateText(date);
        }
        finish(false);
    }

    void cancel() { finish(true); }

    void finish(bool cancelled) {
        result_.Cancelled = cancelled;
        result_.VerifyCodeTicked = SendMessageW(verifyCode_, BM_GETCHECK, 0, 0) == BST_CHECKED;
        ended_ = true;
    }

    bool full_;
    bool ended_ = false;
    ChequeDialogResult result_;
    std::array<std::unique_ptr<TextBox>, kBoxCount> boxes_;
    HWND verifyCode_ = nullptr, image_ = nullptr, initialFocus_ = nullptr;
    std::unique_ptr<ChildWindows> resizeTarget_;
    std::unique_ptr<AutoResize> autoResize_;
};

}  // namespace

ChequeDialogResult runChequeData(HWND owner, const ChequeDialogInput& input,
                                 const OnShown& onShown) {
    ChequeDialog dialog(owner, input, nullptr);
    return dialog.run(owner, onShown);
}

ChequeDialogResult runChequeFull(HWND owner, const ChequeDialogInput& input, CalendarDate today,
                                 const OnShown& onShown) {
    ChequeDialog dialog(owner, input, &today);
    return dialog.run(owner, onShown);
}

}  // namespace korvex::win32ui
