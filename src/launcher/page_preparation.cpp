#include "launcher/page_preparation.h"

#include <utility>

#include "launcher/com_support.h"
#include "mt/current_thread.h"
#include "object/impl.h"

class PagePreparation::Work final : public Object::Impl<Work, Mt::Runnable> {
public:
    explicit Work(PageSource build_page) : build_page_(build_page) {}

    void Initialize() override {}
    void Run() override {
        // The plug-ins start up with COM on their thread, as they would on the
        // window's thread.
        EnsureComInitialized();
        try {
            prepared_.plugins = MediumPlugins::Load();
            prepared_.page = build_page_();
        } catch (const Error&) {
            ReleaseComInitialization();
            throw;
        }
        ReleaseComInitialization();
    }

    Prepared Take() { return std::move(prepared_); }

private:
    const PageSource build_page_;
    Prepared prepared_;
};

PagePreparation::PagePreparation(PageSource build_page)
    : work_(Object::New<Work>(build_page)), thread_(Mt::GetCurrentThread()->StartThread(work_)) {}

PagePreparation::~PagePreparation() {
    thread_->Join();
}

PagePreparation::Prepared PagePreparation::Join() {
    thread_->Join(true);
    Error error = thread_->GetError();
    if (error.IsSet()) {
        throw error;
    }
    return work_->Take();
}
