// The headless presenter: the canvas exists, nothing is shown.
#include <chrono>
#include <thread>

#include "presenter.h"

namespace owin {
namespace {

class HeadlessPresenter final : public Presenter {
 public:
  bool open(const OpenRequest& r, std::string&) override {
    width_ = r.width > 0 ? r.width : (r.fullscreen ? 1920 : 1024);
    height_ = r.height > 0 ? r.height : (r.fullscreen ? 1080 : 768);
    return true;
  }
  int width() const override { return width_; }
  int height() const override { return height_; }
  int64_t handle() const override { return 1; }
  bool headless() const override { return true; }
  void present(const Canvas&, const Rect&) override {}
  void pump(int waitMs, WindowEvents&) override {
    if (waitMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
  }
  void close() override {}

 private:
  int width_ = 0, height_ = 0;
};

}  // namespace

std::unique_ptr<Presenter> makeHeadlessPresenter() { return std::make_unique<HeadlessPresenter>(); }

}  // namespace owin
