// The Windows windows' pictures: loads a declaration file into the main window, searches the types
// for "rect", previews and adds "Type RECT", and saves a picture of the window with its frame as
// the screen shows it; then opens the About window and saves a picture of it. Run under Wine on
// an X server (tools/screenshots).
// Usage: brackwin-windows-screenshot DECLARATIONS MAIN.png ABOUT.png

#include <windows.h>

#include <shellapi.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <cstdio>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "Form1Window.h"
#include "Handles.h"
#include "MessageLoop.h"
#include "StandInServices.h"
#include "Utf16.h"
#include "frmAbout.h"

namespace {

using brackwin::win32::Form1Window;
using Microsoft::WRL::ComPtr;
using ID = Form1Window::ID;
using UniqueBitmap =
    std::unique_ptr<std::remove_pointer_t<HBITMAP>, brackwin::win32::GdiObjectDeleter>;

// Lets the windows paint and the X server show what they painted.
void Settle() {
    for (int round = 0; round < 30; ++round) {
        brackwin::win32::ProcessPendingMessages();
        Sleep(10);
    }
}

bool Check(HRESULT result) {
    return SUCCEEDED(result);
}

// The screen's pixels under a window, frame and all, saved as a PNG file.
bool SaveWindowPicture(HWND window, const std::wstring& path) {
    RECT place{};
    GetWindowRect(window, &place);
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    const brackwin::win32::WindowDc screen(nullptr);
    const HDC memory = CreateCompatibleDC(screen.Get());
    const UniqueBitmap bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
    {
        const brackwin::win32::SelectedObject selected(memory, bitmap.get());
        BitBlt(memory, 0, 0, width, height, screen.Get(), place.left, place.top, SRCCOPY);
    }
    DeleteDC(memory);

    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmap> source;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    return Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&factory))) &&
           Check(factory->CreateBitmapFromHBITMAP(bitmap.get(), nullptr, WICBitmapIgnoreAlpha,
                                                  &source)) &&
           Check(factory->CreateStream(&stream)) &&
           Check(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
           Check(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
           Check(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
           Check(encoder->CreateNewFrame(&frame, nullptr)) && Check(frame->Initialize(nullptr)) &&
           Check(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))) &&
           Check(frame->SetPixelFormat(&format)) &&
           Check(frame->WriteSource(source.Get(), nullptr)) && Check(frame->Commit()) &&
           Check(encoder->Commit());
}

int Fail(const char* what) {
    std::fprintf(stderr, "brackwin-windows-screenshot: %s\n", what);
    return 1;
}

}  // namespace

int main() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr || count != 4) {
        std::fprintf(stderr,
                     "Usage: brackwin-windows-screenshot DECLARATIONS MAIN.png ABOUT.png\n");
        return 2;
    }
    const std::vector<std::wstring> args(arguments, arguments + count);
    LocalFree(arguments);
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return Fail("cannot start COM");
    }

    brackwin::win32::StandInServices services;
    services.answers.push_back(brackwin::win32::Narrow(args[1]));
    brackwin::win32::UserInterfaceServices::Install(&services);

    Form1Window form;
    HWND window = form.Handle();
    SetWindowPos(window, nullptr, 16, 16, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(window, SW_SHOW);
    Settle();
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(ID::mnuAPIRead, 0), 0);
    SendMessageW(GetDlgItem(window, ID::Option3), BM_CLICK, 0, 0);
    brackwin::win32::SetText(GetDlgItem(window, ID::Text1), "rect");
    SendMessageW(GetDlgItem(window, ID::Command1), BM_CLICK, 0, 0);

    const brackwin::SortedResultList& results = form.Results();
    std::size_t rect = 0;
    while (rect < results.Count() && results.Item(rect) != "Type RECT") {
        ++rect;
    }
    if (rect == results.Count()) {
        return Fail("no \"Type RECT\" in the declaration file");
    }
    // Chosen as a click chooses it: the selection moves there and the preview follows.
    HWND list = GetDlgItem(window, ID::List1);
    SendMessageW(list, LB_SETCURSEL, rect, 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(ID::List1, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    SendMessageW(GetDlgItem(window, ID::Command4), BM_CLICK, 0, 0);
    SetFocus(GetDlgItem(window, ID::Text1));
    Settle();
    if (!SaveWindowPicture(window, args[2])) {
        return Fail("cannot save the main window's picture");
    }

    SendMessageW(window, WM_COMMAND, MAKEWPARAM(ID::mnuVersion, 0), 0);
    brackwin::win32::frmAbout* about = brackwin::win32::frmAbout::Current();
    if (about == nullptr) {
        return Fail("the About window did not open");
    }
    SetWindowPos(about->Handle(), HWND_TOP, 48, 48, 0, 0, SWP_NOSIZE);
    Settle();
    if (!SaveWindowPicture(about->Handle(), args[3])) {
        return Fail("cannot save the About window's picture");
    }
    DestroyWindow(about->Handle());
    brackwin::win32::UserInterfaceServices::Install(nullptr);
    return 0;
}
