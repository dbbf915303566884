// PNG pictures from the resources through WIC (see PngPicture.h).
#include "PngPicture.h"

#include <wincodec.h>

#include "Scoped.h"

namespace launcher {

namespace {

// The WIC identifiers, which not every import library defines.
const CLSID kWicImagingFactory = {
    0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
const IID kIWicImagingFactory = {
    0xec5ec8a9, 0xc395, 0x4314, {0x9c, 0x77, 0x54, 0xd7, 0xa9, 0x35, 0xff, 0x70}};
const GUID kPixelFormat32bppBgr = {
    0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0e}};

HBITMAP Decode(const void* bytes, DWORD size) {
    scoped::ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(kWicImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                kIWicImagingFactory, factory.put_void())))
        return nullptr;
    scoped::ComPtr<IWICStream> stream;
    scoped::ComPtr<IWICBitmapDecoder> decoder;
    scoped::ComPtr<IWICBitmapFrameDecode> frame;
    scoped::ComPtr<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    if (FAILED(factory->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(bytes)), size)) ||
        FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, decoder.put())) ||
        FAILED(decoder->GetFrame(0, frame.put())) ||
        FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), kPixelFormat32bppBgr, WICBitmapDitherTypeNone,
                                     nullptr, 0.0, WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 ||
        width > 8192 || height > 8192)
        return nullptr;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = static_cast<LONG>(width);
    bi.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down, as WIC gives rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    scoped::GdiObject bitmap(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return nullptr;
    const UINT stride = width * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits))))
        return nullptr;
    return static_cast<HBITMAP>(bitmap.release());
}

}  // namespace

HBITMAP DecodePngPicture(const void* bytes, size_t size) {
    if (!bytes || size == 0 || size > MAXDWORD) return nullptr;
    // COM for this thread while the picture is decoded; the browser windows
    // may already have it (then this only counts up and down again).
    scoped::ComApartment com;
    return Decode(bytes, static_cast<DWORD>(size));
}

}  // namespace launcher
