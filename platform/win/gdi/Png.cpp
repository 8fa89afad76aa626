// PNG files through the Windows Imaging Component, for screenshots,
// previews and the skin tool. Pixels are straight (not premultiplied) alpha,
// as BMP pictures carry it.
#include <objbase.h>
#include <wincodec.h>

#include <cstring>

#include "platform/File.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/Utf16.h"

namespace gdi {

namespace {

template <typename T>
class Com {
 public:
  Com() = default;
  ~Com() {
    if (p_) p_->Release();
  }
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  T** out() { return &p_; }
  T* operator->() const { return p_; }
  T* get() const { return p_; }

 private:
  T* p_ = nullptr;
};

IWICImagingFactory* Factory() {
  static IWICImagingFactory* factory = [] {
    // The user-interface thread is a single-threaded apartment; a thread
    // that already chose otherwise keeps its choice.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IWICImagingFactory* f = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(&f)))) {
      return static_cast<IWICImagingFactory*>(nullptr);
    }
    return f;
  }();
  return factory;
}

}  // namespace

bool WritePng(const Surface& pixels, const std::string& path) {
  if (!pixels.HasPixels()) return false;
  IWICImagingFactory* factory = Factory();
  if (!factory) return false;
  // Encode in memory first, so that a failed write never leaves half a
  // file behind.
  Com<IStream> stream;
  Com<IWICBitmapEncoder> encoder;
  Com<IWICBitmapFrameEncode> frame;
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
  const UINT stride = static_cast<UINT>(pixels.width) * 4;
  bool ok = SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, stream.out())) &&
            SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.out())) &&
            SUCCEEDED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) &&
            SUCCEEDED(encoder->CreateNewFrame(frame.out(), nullptr)) &&
            SUCCEEDED(frame->Initialize(nullptr)) &&
            SUCCEEDED(frame->SetSize(static_cast<UINT>(pixels.width),
                                     static_cast<UINT>(pixels.height))) &&
            SUCCEEDED(frame->SetPixelFormat(&format)) &&
            IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA) &&
            SUCCEEDED(frame->WritePixels(
                static_cast<UINT>(pixels.height), stride, stride * static_cast<UINT>(pixels.height),
                reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(pixels.pixels.data())))) &&
            SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
  if (!ok) return false;
  HGLOBAL memory = nullptr;
  if (FAILED(GetHGlobalFromStream(stream.get(), &memory))) return false;
  STATSTG stat{};
  if (FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return false;
  const void* bytes = GlobalLock(memory);
  if (!bytes) return false;
  ok = platform::WriteFileAtomic(path, bytes, static_cast<std::size_t>(stat.cbSize.QuadPart));
  GlobalUnlock(memory);
  return ok;
}

bool ReadPng(const std::string& path, Surface& out) {
  IWICImagingFactory* factory = Factory();
  if (!factory) return false;
  Com<IWICBitmapDecoder> decoder;
  Com<IWICBitmapFrameDecode> frame;
  Com<IWICBitmapSource> converted;
  UINT width = 0;
  UINT height = 0;
  const std::wstring wide = platform::win::Wide(platform::NativePath(path));
  GUID container{};
  // WIC reads every format it knows; only a PNG file is a PNG here.
  if (FAILED(factory->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ,
                                                WICDecodeMetadataCacheOnDemand, decoder.out())) ||
      FAILED(decoder->GetContainerFormat(&container)) ||
      !IsEqualGUID(container, GUID_ContainerFormatPng) ||
      FAILED(decoder->GetFrame(0, frame.out())) ||
      FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.get(), converted.out())) ||
      FAILED(converted->GetSize(&width, &height)) || width == 0 || height == 0 ||
      width > static_cast<UINT>(MaxBmpSide) || height > static_cast<UINT>(MaxBmpSide)) {
    return false;
  }
  Surface pixels(static_cast<int>(width), static_cast<int>(height), 0);
  if (FAILED(converted->CopyPixels(nullptr, width * 4, width * height * 4,
                                   reinterpret_cast<BYTE*>(pixels.pixels.data())))) {
    return false;
  }
  out = std::move(pixels);
  return true;
}

}  // namespace gdi
