#include "ui/win32/screenshot.h"

#include <wincodec.h>

namespace lumiq::ui::win32 {

namespace {

template <typename T>
struct Released {
  T* p = nullptr;
  ~Released() {
    if (p) p->Release();
  }
};

bool Failed(HRESULT result, const char* step, std::string* error) {
  if (SUCCEEDED(result)) return false;
  if (error) *error = step;
  return true;
}

// The bytes a memory stream holds.
bool CopyOut(IStream* stream, std::string* bytes, std::string* error) {
  HGLOBAL memory = nullptr;
  STATSTG stat = {};
  if (Failed(GetHGlobalFromStream(stream, &memory), "no memory", error) ||
      Failed(stream->Stat(&stat, STATFLAG_NONAME), "no size", error)) {
    return false;
  }
  const void* data = GlobalLock(memory);
  if (data == nullptr) {
    if (error) *error = "no memory";
    return false;
  }
  bytes->assign(static_cast<const char*>(data), static_cast<size_t>(stat.cbSize.QuadPart));
  GlobalUnlock(memory);
  return true;
}

}  // namespace

bool WindowPng(HWND window, std::string* png, std::string* error) {
  RECT rect;
  if (!GetWindowRect(window, &rect)) {
    if (error) *error = "no window";
    return false;
  }
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  const bool initialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  bool ok = false;
  {
    Released<IWICImagingFactory> factory;
    Released<IWICBitmap> image;
    Released<IStream> stream;
    Released<IWICBitmapEncoder> encoder;
    Released<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    ok = !Failed(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWICImagingFactory, reinterpret_cast<void**>(&factory.p)),
                 "no imaging component", error) &&
         !Failed(factory.p->CreateBitmapFromHBITMAP(bitmap, nullptr, WICBitmapIgnoreAlpha,
                                                    &image.p),
                 "cannot convert the bitmap", error) &&
         // In memory: the file is the caller's to write, through the
         // program's writer.
         !Failed(CreateStreamOnHGlobal(nullptr, TRUE, &stream.p), "no memory stream", error) &&
         !Failed(factory.p->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder.p),
                 "no PNG encoder", error) &&
         !Failed(encoder.p->Initialize(stream.p, WICBitmapEncoderNoCache), "encoder", error) &&
         !Failed(encoder.p->CreateNewFrame(&frame.p, nullptr), "frame", error) &&
         !Failed(frame.p->Initialize(nullptr), "frame", error) &&
         !Failed(frame.p->SetSize(static_cast<UINT>(width), static_cast<UINT>(height)), "size",
                 error) &&
         !Failed(frame.p->SetPixelFormat(&format), "format", error) &&
         !Failed(frame.p->WriteSource(image.p, nullptr), "cannot write the pixels", error) &&
         !Failed(frame.p->Commit(), "cannot finish the frame", error) &&
         !Failed(encoder.p->Commit(), "cannot finish the file", error) &&
         CopyOut(stream.p, png, error);
  }
  if (initialised) CoUninitialize();
  DeleteObject(bitmap);
  return ok;
}

}  // namespace lumiq::ui::win32
