#include "platform/BackgroundWork.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <climits>
#include <exception>
#include <memory>
#include <utility>

namespace zelvora {

namespace {

// How often the progress bar follows the work's value: a merge sets it some 200,000 times.
constexpr int ValueInterval = 25; // milliseconds

// Carries the work's reports from its thread to the window's.
class Relay final : public WorkProgress {
public:
    explicit Relay(Progress& shown) : shown_(shown) {}

    void SetText(const QString& text) override {
        Post([this, text] { shown_.SetText(text); });
    }
    void SetRange(int minimum, int maximum) override {
        Post([this, minimum, maximum] {
            shown_.SetRange(minimum, maximum);
            ShowValue(true);
        });
    }
    void SetValue(int value) override { value_.store(value, std::memory_order_relaxed); }
    void OfferCancel() override {
        Post([this] { shown_.OfferCancel(); });
    }
    bool Cancelled() const override { return shown_.Cancelled(); }
    void Post(std::function<void()> task) override {
        QMetaObject::invokeMethod(&receiver_, std::move(task), Qt::QueuedConnection);
    }

    // On the window's thread: the work's latest value, when it has moved (or always).
    void ShowValue(bool always) {
        const int value = value_.load(std::memory_order_relaxed);
        if (value == NoValue || (!always && value == shownValue_))
            return;
        shownValue_ = value;
        shown_.SetValue(value);
    }

private:
    static constexpr int NoValue = INT_MIN;

    Progress& shown_;
    // Lives on the window's thread, where the posted tasks run.
    QObject receiver_;
    std::atomic<int> value_ = NoValue;
    int shownValue_ = NoValue;
};

} // namespace

struct BackgroundJob::State {
    explicit State(Progress& shown) : relay(shown) {}
    Relay relay;
    std::unique_ptr<QThread> thread;
    QTimer values;
    std::exception_ptr failure;
    std::function<void(std::exception_ptr)> ended;
    bool running = true;
    QEventLoop* waiting = nullptr;
};

BackgroundJob::BackgroundJob(Progress& shown, std::function<void(WorkProgress&)> work,
                             std::function<void(std::exception_ptr)> ended)
    : state_(std::make_unique<State>(shown)) {
    State& state = *state_;
    state.ended = std::move(ended);
    state.thread.reset(QThread::create([&state, work = std::move(work)] {
        try {
            work(state.relay);
        } catch (...) {
            state.failure = std::current_exception();
        }
    }));
    // Queued after every report the work made: they have all been shown when it runs.
    QObject::connect(
        state.thread.get(), &QThread::finished, &state.values,
        [&state] {
            state.thread->wait();
            state.values.stop();
            state.relay.ShowValue(false);
            state.running = false;
            if (state.waiting)
                state.waiting->quit();
            if (const auto ended = std::exchange(state.ended, nullptr))
                ended(state.failure);
        },
        Qt::QueuedConnection);
    QObject::connect(&state.values, &QTimer::timeout, &state.values, [&state] { state.relay.ShowValue(false); });
    state.values.start(ValueInterval);
    state.thread->start();
}

BackgroundJob::~BackgroundJob() {
    state_->ended = nullptr;
    Wait();
}

void BackgroundJob::Wait() {
    if (!state_->running)
        return;
    QEventLoop loop;
    state_->waiting = &loop;
    loop.exec();
    state_->waiting = nullptr;
}

void RunBesideEvents(Progress& shown, const std::function<void(WorkProgress&)>& work) {
    std::exception_ptr failure;
    BackgroundJob job(
        shown, [&work](WorkProgress& relay) { work(relay); },
        [&failure](std::exception_ptr thrown) { failure = thrown; });
    job.Wait();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace zelvora
