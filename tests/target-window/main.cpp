// korvex-target-window --title TITLE [--out FILE]
//
// A window with the given title and one text field that has the focus. Every character the field
// receives, typed or pasted, is appended at once (UTF-8, unaltered: Enter as CR, Tab as TAB) to
// FILE, or written to standard output.

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>

namespace {

class RecordingField : public QPlainTextEdit {
public:
    explicit RecordingField(const QString& outPath) {
        if (!outPath.isEmpty()) {
            file_.setFileName(outPath);
            file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
        }
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        // The paste shortcut is recorded as the text it inserts, in insertFromMimeData.
        if (!event->matches(QKeySequence::Paste) && !event->text().isEmpty()) record(event->text());
        QPlainTextEdit::keyPressEvent(event);
    }
    void insertFromMimeData(const QMimeData* source) override {
        if (source != nullptr) record(source->text());
        QPlainTextEdit::insertFromMimeData(source);
    }

private:
    void record(const QString& text) {
        const QByteArray bytes = text.toUtf8();
        if (file_.isOpen()) {
            file_.write(bytes);
            file_.flush();
        } else {
            std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
            std::fflush(stdout);
        }
    }
    QFile file_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QString title = "Korvex Target Window";
    QString outPath;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == "--title")
            title = args[++i];
        else if (args[i] == "--out")
            outPath = args[++i];
    }
    QWidget window;
    window.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&window);
    auto* field = new RecordingField(outPath);
    layout->addWidget(field);
    window.resize(400, 200);
    window.show();
    window.activateWindow();
    field->setFocus();
    return app.exec();
}
