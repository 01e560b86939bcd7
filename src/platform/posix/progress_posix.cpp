// The long work on the substitute: the body runs on the UI thread (libcurl's multi interface and
// the zip reader both come back to it often), which serves the FLTK windows from `advance` with
// their input discarded; the progress window is an FLTK window with an Fl_Progress.
#include "platform/progress.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Progress.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <cmath>

#include "platform/posix/fltk_posix.h"

namespace tk::host {
namespace {

// The standard bar; while the total is unknown a block runs through it instead.
class Bar : public Fl_Progress {
 public:
  Bar(int x, int y, int w, int h) : Fl_Progress(x, y, w, h) {}
  bool moving = false;

 protected:
  void draw() override {
    if (!moving) {
      Fl_Progress::draw();
      return;
    }
    draw_box(box(), x(), y(), w(), h(), color());
    const int inner = w() - 4, block = inner / 4;
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    const int step =
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count() / 8);
    fl_push_clip(x() + 2, y() + 2, inner, h() - 4);
    fl_rectf(x() + 2 + step % (inner + block) - block, y() + 2, block, h() - 4, selection_color());
    fl_pop_clip();
  }
};

class FltkProgressView : public ProgressView {
 public:
  FltkProgressView(Fl_Window& owner, const std::string& work);
  ~FltkProgressView() override { window_.hide(); }
  void update(const std::string& amounts, double fraction) override;

 private:
  int px(int pixelsAt96) const { return static_cast<int>(std::lround(pixelsAt96 * dpi_ / 96.0)); }
  Fl_Box* line(int top, const std::string& text);

  int dpi_;
  Fl_Double_Window window_;
  Fl_Box* amounts_;
  Bar* bar_;
  int filled_ = -1;  // the bar's filled pixels as last drawn
};

Fl_Box* FltkProgressView::line(int top, const std::string& text) {
  auto* box = new Fl_Box(px(12), px(top), px(336), px(18));
  box->box(FL_FLAT_BOX);  // paints its own background: a new text redraws this line alone
  box->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
  box->labelfont(kFontRegular);
  box->labelsize(pointsToPixels(9, dpi_));
  box->copy_label(labelText(text).c_str());
  return box;
}

// A small window without a cancel button, centred over the form and kept above it.
FltkProgressView::FltkProgressView(Fl_Window& owner, const std::string& work)
    : dpi_(screenDpi()), window_(px(360), px(92)) {
  line(12, work);
  amounts_ = line(32, "");
  bar_ = new Bar(px(12), px(60), px(336), px(18));
  bar_->minimum(0);
  bar_->maximum(1);
  bar_->color(FL_WHITE);
  bar_->selection_color(fl_rgb_color(6, 176, 37));  // the green of Windows' bar
  window_.end();
  window_.copy_label(kProgressTitle);
  window_.xclass(kProgressTitle);              // the program's class, as its other windows
  window_.callback([](Fl_Widget*, void*) {});  // the installation cannot be cancelled
  window_.set_non_modal();
  window_.position(owner.x() + (owner.w() - window_.w()) / 2,
                   owner.y() + (owner.h() - window_.h()) / 2);
  window_.show();
}

// Only what changed is drawn again: the amounts, and the bar once it has grown by a pixel.
void FltkProgressView::update(const std::string& amounts, double fraction) {
  std::string text = labelText(amounts);
  if (text != (amounts_->label() != nullptr ? amounts_->label() : "")) {
    amounts_->copy_label(text.c_str());
    amounts_->redraw();
  }
  bar_->moving = fraction < 0;
  int filled = bar_->moving ? -1 : static_cast<int>(fraction * bar_->w());
  if (bar_->moving) {
    bar_->redraw();  // the running block
  } else if (filled != filled_) {
    bar_->value(static_cast<float>(fraction));
  }
  filled_ = filled;
}

}  // namespace

std::unique_ptr<ProgressView> openProgressView(const std::string& work) {
  Fl_Window* form = dialogOwner();
  if (form == nullptr)
    return nullptr;
  return std::make_unique<FltkProgressView>(*form, work);
}

void LongWork::serve() {
  nextServe_ = std::chrono::steady_clock::now() + kServeInterval;
  if (fl_display == nullptr)
    return;  // no display was opened: there is no window to serve (tests, benchmarks)
  refresh();
  handlePendingWithoutInput();
}

void LongWork::advance(uint64_t bytes) {
  done_ += bytes;
  if (std::chrono::steady_clock::now() >= nextServe_)
    serve();
}

void LongWork::run(const std::function<void()>& body) {
  try {
    body();
  } catch (...) {
    serve();  // input that came meanwhile is dropped, not left for the form to act on later
    throw;
  }
  serve();
}

}  // namespace tk::host
