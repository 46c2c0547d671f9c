// korvex-target-window --title TITLE --out FILE: appends every character its field receives,
// typed or pasted, at once to FILE (UTF-8, Enter as CR).

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

class RecordingField : public QPlainTextEdit {
public:
    explicit RecordingField(const QString& outPath) : file_(outPath) {
        file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
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
    void record(const QString& text) { file_.write(text.toUtf8()); }
    QFile file_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QString title = "Korvex Target Window", outPath;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == "--title")
            title = args[++i];
        else if (args[i] == "--out")
            outPath = args[++i];
    }
    QWidget window;
    window.setWindowTitle(title);
    auto* field = new RecordingField(outPath);
    (new QVBoxLayout(&window))->addWidget(field);
    window.resize(400, 200);
    window.show();
    window.activateWindow();
    field->setFocus();
    return app.exec();
}
