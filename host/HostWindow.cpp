#include "host/HostWindow.h"

#include "host/HostApi.h"
#include "pattern/PadInfo.h"
#include "platform/bmp.h"
#include "platform/cp932.h"
#include "platform/syscolors.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QSocketNotifier>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <csignal>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <system_error>
#include <unistd.h>

namespace pelmora::host {
namespace {

constexpr int kColumns = 4;
constexpr int kRows = 2;
constexpr int kPollMs = 250;

QString Show(const std::string& sjis) {
    try {
        return QString::fromStdString(SjisToUtf8(sjis));
    } catch (const CodecError&) {
        return QString::fromLatin1(sjis.c_str());
    }
}

QColor ToQColor(TColor c) {
    const TColor rgb = ResolveColor(c);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

QImage ToImage(const Bitmap24& bitmap) {
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
    for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* in = bitmap.Row(y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (std::int32_t x = 0; x < bitmap.Width(); ++x, in += 3) {
            out[x] = qRgb(in[2], in[1], in[0]);
        }
    }
    return image;
}

} // namespace

// One pad: its buttons in a grid, each cell painted with the pad's wallpaper
// (or the button colour when it has none), an icon square and the button's
// name where the pad's settings put them.
class PadView final : public QWidget {
public:
    PadView(std::int32_t id, PadStore& pads, QWidget* parent)
        : QWidget(parent), id_(id), pads_(pads) {
        Refresh();
    }

    std::int32_t Id() const { return id_; }
    void SetSelected(bool selected) {
        selected_ = selected;
        update();
    }
    std::function<void(std::int32_t)> OnPicked;

    // Reads the pad's settings and wallpaper again; repaints when they changed.
    void Refresh() {
        std::array<std::int32_t, kPadValueKeys.size()> read{};
        for (std::size_t i = 0; i < kPadValueKeys.size(); ++i) {
            read[i] = PadValueFromText(pads_.Get(id_, std::string(kPadValueKeys[i])).value_or(""));
        }
        const PadValues values{read[0], read[1], read[2], read[3], read[4]};
        const std::string wallPaper = pads_.Get(id_, "WallPaper").value_or("");
        const std::optional<std::filesystem::file_time_type> stamp = Stamp(wallPaper);
        if (layoutValid_ && values.BtnWidth == values_.BtnWidth &&
            values.BtnHeight == values_.BtnHeight && values.BtnCaption == values_.BtnCaption &&
            values.BtnSmallIcon == values_.BtnSmallIcon && values.BtnColor == values_.BtnColor &&
            wallPaper == wallPaper_ && stamp == stamp_) {
            return;
        }
        values_ = values;
        wallPaper_ = wallPaper;
        stamp_ = stamp;
        try {
            layout_ = DerivePadInfo(values);
            layoutValid_ = true;
        } catch (const std::exception&) {
            layout_ = DerivePadInfo(values, 12);
            layoutValid_ = true;
        }
        image_ = QImage();
        if (stamp_) {
            try {
                image_ = ToImage(LoadBmp(WallPaperPath(wallPaper_)));
            } catch (const std::exception&) {
                // A wallpaper that cannot be read shows as none, as in the launcher.
            }
        }
        const QSize cell = CellSize();
        setFixedSize(cell.width() * kColumns + 8, cell.height() * kRows + 8 + Header());
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        painter.setPen(palette().windowText().color());
        painter.drawText(QRect(4, 0, width() - 8, Header()), Qt::AlignLeft | Qt::AlignVCenter,
                         QString("パッド %1").arg(id_));
        const QSize cell = CellSize();
        for (int row = 0; row < kRows; ++row) {
            for (int column = 0; column < kColumns; ++column) {
                const QPoint origin(4 + column * cell.width(), Header() + 4 + row * cell.height());
                PaintButton(painter, origin, cell, row * kColumns + column + 1);
            }
        }
        QPen frame(selected_ ? palette().highlight().color() : palette().mid().color());
        frame.setWidth(selected_ ? 3 : 1);
        painter.setPen(frame);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(1, Header() + 1, -2, -2));
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton && OnPicked) {
            OnPicked(id_);
        }
    }

private:
    static int Header() { return 18; }
    QSize CellSize() const {
        return QSize(std::clamp(layout_.BtnWidth + 4, 8, 512),
                     std::clamp(layout_.BtnHeight + 4, 8, 512));
    }
    static std::filesystem::path WallPaperPath(const std::string& sjis) {
        return std::filesystem::path(SjisToUtf8(sjis));
    }
    static std::optional<std::filesystem::file_time_type> Stamp(const std::string& wallPaper) {
        if (wallPaper.empty()) {
            return std::nullopt;
        }
        try {
            std::error_code error;
            const auto stamp = std::filesystem::last_write_time(WallPaperPath(wallPaper), error);
            return error ? std::nullopt : std::optional(stamp);
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }

    void PaintButton(QPainter& painter, const QPoint& origin, const QSize& cell, int number) {
        const QRect area(origin, cell);
        painter.save();
        painter.setClipRect(area);
        if (!image_.isNull()) {
            painter.drawImage(origin, image_);
        } else {
            painter.fillRect(area, ToQColor(static_cast<TColor>(layout_.BtnColor)));
        }
        const QRect icon(origin.x() + layout_.IconLeft, origin.y() + layout_.IconTop,
                         layout_.IconWidth, layout_.IconHeight);
        painter.setPen(QColor(64, 64, 64));
        painter.setBrush(QColor(120, 160, 220));
        painter.drawRoundedRect(icon.adjusted(2, 2, -3, -3), 3, 3);
        if (layout_.BtnCaption != 0) {
            const QRect name(origin.x() + layout_.NameLeft, origin.y() + layout_.NameTop,
                             layout_.NameWidth, layout_.NameHeight);
            painter.setPen(Qt::black);
            const QString text = QString("ボタン%1").arg(number);
            painter.drawText(name, Qt::AlignCenter,
                             painter.fontMetrics().elidedText(text, Qt::ElideRight, name.width()));
        }
        painter.restore();
    }

    std::int32_t id_;
    PadStore& pads_;
    PadValues values_{};
    TPadInfo layout_{};
    bool layoutValid_ = false;
    std::string wallPaper_;
    std::optional<std::filesystem::file_time_type> stamp_;
    QImage image_;
    bool selected_ = false;
};

HostWindow::HostWindow(PluginModule& plugin, PadStore& pads) : plugin_(plugin), pads_(pads) {
    setObjectName("HostWindow");
    setWindowTitle("tavrin-host");

    QMenu* file = menuBar()->addMenu("ファイル(&F)");
    file->addAction("終了(&X)", this, &QWidget::close);
    pluginMenu_ = menuBar()->addMenu(QString());
    pluginMenu_->setObjectName("PluginMenu");

    auto* scroll = new QScrollArea(this);
    auto* content = new QWidget(scroll);
    auto* layout = new QVBoxLayout(content);
    for (const std::int32_t id : pads_.PadNumbers()) {
        auto* view = new PadView(id, pads_, content);
        view->setObjectName(QString("Pad%1").arg(id));
        view->OnPicked = [this](std::int32_t picked) { SelectPad(picked); };
        layout->addWidget(view);
        views_.push_back(view);
    }
    layout->addStretch(1);
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    setCentralWidget(scroll);

    status_ = new QLabel(this);
    statusBar()->addWidget(status_, 1);

    if (!views_.empty()) {
        SelectPad(views_.front()->Id());
    }
    menuRequestsSeen_ = State().menuRequests.size();
    RebuildMenu();

    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, &HostWindow::Poll);
    poll->start(kPollMs);
    resize(560, 480);
}

void HostWindow::closeEvent(QCloseEvent* e) {
    QMainWindow::closeEvent(e);
    if (e->isAccepted()) {
        QApplication::quit();
    }
}

void HostWindow::SelectPad(std::int32_t number) {
    selectedPad_ = number;
    for (PadView* view : views_) {
        view->SetSelected(view->Id() == number);
    }
    status_->setText(QString("パッド %1 を選択中").arg(number));
}

void HostWindow::RebuildMenu() {
    pluginMenu_->clear();
    pluginMenu_->setTitle(QString());
    for (std::int32_t number = 0;; ++number) {
        std::array<char, kMenuRecordSize> record{};
        if (plugin_.GetMenu(number, record.data()) == kTrxFalse) {
            break;
        }
        record[kMenuCaptionSize - 1] = '\0';
        const std::string caption(record.data());
        if (number == 0) {
            pluginMenu_->setTitle(Show(caption));
        } else if (caption == "-") {
            pluginMenu_->addSeparator();
        } else {
            QAction* item = pluginMenu_->addAction(Show(caption));
            connect(item, &QAction::triggered, this, [this, number] { ClickMenuItem(number); });
        }
    }
    pluginMenu_->menuAction()->setVisible(!pluginMenu_->title().isEmpty());
}

void HostWindow::ClickMenuItem(std::int32_t number) {
    if (!selectedPad_) {
        status_->setText("パッドを選択して下さい。");
        return;
    }
    const std::int32_t result = plugin_.MenuClick(number, pads_.HandleOf(*selectedPad_));
    status_->setText(QString("項目 %1 (パッド %2): %3")
                         .arg(number)
                         .arg(*selectedPad_)
                         .arg(result != kTrxFalse ? "成功" : "失敗"));
    Poll();
}

void HostWindow::Poll() {
    if (State().menuRequests.size() != menuRequestsSeen_) {
        menuRequestsSeen_ = State().menuRequests.size();
        RebuildMenu();
    }
    for (PadView* view : views_) {
        view->Refresh();
    }
}

namespace {

// Ctrl+C in the terminal that started the launcher, a kill or the end of the
// session closes the window as its user would, so the plug-in is ended and
// keeps what was edited. The handler only writes the signal's number into a
// socket; the window is closed from the event loop.
class CloseOnSignals {
public:
    explicit CloseOnSignals(QWidget& window) {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets_.data()) != 0) {
            return; // the window still closes as usual
        }
        notifier_ = std::make_unique<QSocketNotifier>(sockets_[1], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, &window, [this, &window] {
            char signal = 0;
            if (::read(sockets_[1], &signal, 1) == 1) {
                window.close();
            }
        });
        writeEnd_ = sockets_[0];
        struct sigaction action = {};
        action.sa_handler = &CloseOnSignals::Caught;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (std::size_t i = 0; i < kSignals.size(); ++i) {
            ::sigaction(kSignals[i], &action, &previous_[i]);
        }
    }
    ~CloseOnSignals() {
        if (notifier_) {
            for (std::size_t i = 0; i < kSignals.size(); ++i) {
                ::sigaction(kSignals[i], &previous_[i], nullptr);
            }
            writeEnd_ = -1;
            ::close(sockets_[0]);
            ::close(sockets_[1]);
        }
    }
    CloseOnSignals(const CloseOnSignals&) = delete;
    CloseOnSignals& operator=(const CloseOnSignals&) = delete;

private:
    static constexpr std::array<int, 3> kSignals = {SIGINT, SIGTERM, SIGHUP};

    static void Caught(int signal) {
        const char number = static_cast<char>(signal);
        [[maybe_unused]] const ssize_t written = ::write(writeEnd_, &number, 1);
    }

    static inline volatile std::sig_atomic_t writeEnd_ = -1;
    std::array<int, 2> sockets_{-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
    std::array<struct sigaction, kSignals.size()> previous_{};
};

} // namespace

int RunHostWindow(PluginModule& plugin, PadStore& pads) {
    HostWindow window(plugin, pads);
    window.show();
    const CloseOnSignals closer(window);
    return QApplication::exec();
}

} // namespace pelmora::host
