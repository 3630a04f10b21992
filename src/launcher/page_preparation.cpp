#include "launcher/page_preparation.h"

#include <utility>

#include "launcher/window_system_startup.h"
#include "mt/current_thread.h"
#include "object/impl.h"

class PagePreparation::Work final : public Object::Impl<Work, Mt::Runnable> {
public:
    explicit Work(PageSource build_page) : build_page_(build_page) {}

    void Initialize() override {}
    void Run() override {
        prepared_.plugins = MediumPlugins::Load();
        prepared_.page = build_page_();
    }

    Prepared Take() { return std::move(prepared_); }

private:
    const PageSource build_page_;
    Prepared prepared_;
};

PagePreparation::PagePreparation(PageSource build_page) : work_(Object::New<Work>(build_page)) {
    if (WindowSystemStartup::LoadsWebEngine()) {
        thread_ = Mt::GetCurrentThread()->StartThread(work_);
    }
}

PagePreparation::~PagePreparation() {
    if (thread_) {
        thread_->Join();
    }
}

PagePreparation::Prepared PagePreparation::Join() {
    if (!thread_) {
        work_->Run();
        return work_->Take();
    }
    thread_->Join(true);
    Error error = thread_->GetError();
    if (error.IsSet()) {
        throw error;
    }
    return work_->Take();
}
