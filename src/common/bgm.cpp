#include "common/bgm.h"

#include "common/clock.h"

namespace popchan {

void Bgm::close_open() {
    if (bgm_open == -1) {
        bgm_open = 0;
        if (device_) {
            device_->stop();
            device_->close();
        }
    }
}

void Bgm::Bgm_Control(const std::string& name, Int16 mode) {
    if (sound_off == 1 || hushed_) return;
    if (mode == 1) {
        close_open();
        const std::string path = name.find('/') == std::string::npos && !app_path_.empty()
                                     ? app_path_ + "/" + name
                                     : name;
        if (device_ && device_->open(path)) {
            if (device_->play())
                bgm_open = -1;
            else
                device_->close();
        }
        clock_.set_interval(kTimer, kLoopInterval);
    } else if (mode == 2) {
        close_open();
        clock_.set_interval(kTimer, 0);
    }
}

void Bgm::set_hushed(bool hushed) {
    if (hushed) Bgm_Control("stop", 2); // before the hush, so the music really stops
    hushed_ = hushed;
}

void Bgm::Timer4_Timer() {
    if (!device_) return;
    const auto mode = device_->mode();
    if (!mode) return;
    if (!mode->starts_with(MediaDevice::kModePlaying)) {
        device_->seek_to_start();
        device_->play();
    }
}

} // namespace popchan
