#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <cstring>
#include <set>

#include "Exception.h"
#include "Graphics.h"
#include "platform/system/Paths.h"

namespace {

std::set<const TBitmap*>& LiveBitmaps() {
  static std::set<const TBitmap*> live;
  return live;
}

}  // namespace

// ---- TCanvas ----

HDC TCanvas::Handle() {
  QImage& image = owner_->Image();
  dc_.magic = CORVALEN_DC_MAGIC;
  if (image.isNull()) {
    dc_.width = dc_.height = dc_.stride = 0;
    dc_.bits = nullptr;
  } else {
    dc_.width = image.width();
    dc_.height = image.height();
    dc_.stride = static_cast<int32_t>(image.bytesPerLine());
    dc_.bits = image.bits();
  }
  owner_->Changed();  // whoever took the handle is about to draw
  return &dc_;
}

void TCanvas::Invalidate() {
  dc_.width = dc_.height = dc_.stride = 0;
  dc_.bits = nullptr;
}

void TCanvas::StretchDraw(const TRect& rect, TBitmap* graphic) {
  if (graphic == nullptr || graphic->Image().isNull() || owner_->Image().isNull()) return;
  const QRect target(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top);
  if (graphic == owner_) {
    const QImage copy = graphic->Image().copy();
    QPainter painter(&owner_->Image());
    painter.drawImage(target, copy);
  } else {
    QPainter painter(&owner_->Image());
    painter.drawImage(target, graphic->Image());
  }
  owner_->Changed();
}

// ---- TBitmap ----

TBitmap::TBitmap() : image_(std::make_unique<QImage>()) { LiveBitmaps().insert(this); }

TBitmap::~TBitmap() { LiveBitmaps().erase(this); }

TBitmap* TBitmap::FromHandle(HBITMAP handle) {
  const auto it = LiveBitmaps().find(static_cast<const TBitmap*>(handle));
  return it == LiveBitmaps().end() ? nullptr : const_cast<TBitmap*>(*it);
}

QImage& TBitmap::Image() { return *image_; }
const QImage& TBitmap::Image() const { return *image_; }

void TBitmap::SetWidth(int width) { SetSize(width, height_); }
void TBitmap::SetHeight(int height) { SetSize(width_, height); }

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  QImage resized;
  if (width > 0 && height > 0) {
    if (static_cast<long long>(width) * height > MaxPixels) {
      throw EOutOfResources("Cannot make a bitmap of " + std::to_string(width) + " x " + std::to_string(height) +
                            " pixels");
    }
    resized = QImage(width, height, QImage::Format_RGB32);
    if (resized.isNull()) {
      throw EOutOfResources("Not enough memory for a bitmap of " + std::to_string(width) + " x " +
                            std::to_string(height) + " pixels");
    }
    resized.fill(Qt::white);
    if (!image_->isNull()) {
      const int rows = std::min(height, height_);
      const size_t bytes = static_cast<size_t>(std::min(width, width_)) * 4;
      const QImage& old = *image_;
      for (int y = 0; y < rows; ++y) std::memcpy(resized.scanLine(y), old.constScanLine(y), bytes);
    }
  }
  Replace(width, height, std::move(resized));
}

void TBitmap::Replace(int width, int height, QImage&& image) {
  *image_ = std::move(image);
  width_ = width;
  height_ = height;
  canvas_.Invalidate();
  Changed();
}

void TBitmap::LoadFromFile(const AnsiString& fileName) {
  const auto host = paths::ToHost(fileName);
  if (!host) throw EInvalidGraphic("Cannot open the picture " + fileName);
  QFile file(QFile::decodeName(QByteArray(host->data(), static_cast<qsizetype>(host->size()))));
  if (!file.open(QIODevice::ReadOnly)) throw EInvalidGraphic("Cannot open the picture " + fileName);
  char signature[2] = {0, 0};
  if (file.read(signature, 2) != 2 || signature[0] != 'B' || signature[1] != 'M' || !file.seek(0)) {
    throw EInvalidGraphic(fileName + " is not a bitmap file");
  }
  QImageReader reader(&file, "bmp");
  const QSize size = reader.size();
  if (!size.isValid() || static_cast<long long>(size.width()) * size.height() > MaxPixels) {
    throw EInvalidGraphic(fileName + " is not a bitmap file");
  }
  QImage image = reader.read();
  if (image.isNull()) throw EInvalidGraphic(fileName + " is not a bitmap file");
  image = image.convertToFormat(QImage::Format_RGB32);
  if (image.isNull()) throw EOutOfResources("Not enough memory for the picture " + fileName);
  const int width = image.width();
  const int height = image.height();
  Replace(width, height, std::move(image));
}

void TBitmap::Changed() {
  if (onChange_ != nullptr) onChange_(onChangeContext_);
}

void TBitmap::SetOnChange(void (*callback)(void*), void* context) {
  onChange_ = callback;
  onChangeContext_ = context;
}

// ---- TPicture ----

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

TBitmap* TPicture::Bitmap() {
  if (!bitmap_) {
    bitmap_ = std::make_unique<TBitmap>();
    bitmap_->SetOnChange(&TPicture::BitmapChanged, this);
  }
  Notify();
  return bitmap_.get();
}

void TPicture::BitmapChanged(void* picture) { static_cast<TPicture*>(picture)->Notify(); }

void TPicture::Notify() {
  if (onChange_ != nullptr) onChange_(onChangeContext_);
}

void TPicture::SetOnChange(void (*callback)(void*), void* context) {
  onChange_ = callback;
  onChangeContext_ = context;
}
