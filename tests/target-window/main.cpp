// korvex-target-window --title TITLE --out FILE: appends every character its field receives,
// typed or pasted, at once to FILE (UTF-8, Enter as CR).

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QPlainTextEdit>

namespace {

class RecordingField : public QPlainTextEdit {
public:
    explicit RecordingField(const QString& outPath) : file_(outPath) {
        file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        // The paste shortcut is recorded as the text it inserts, in insertFromMimeData.
        if (!event->matches(QKeySequence::Paste)) file_.write(event->text().toUtf8());
        QPlainTextEdit::keyPressEvent(event);
    }
    void insertFromMimeData(const QMimeData* source) override {
        file_.write(source->text().toUtf8());
        QPlainTextEdit::insertFromMimeData(source);
    }

private:
    QFile file_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    RecordingField field(args.value(args.indexOf("--out") + 1));
    field.setWindowTitle(args.value(args.indexOf("--title") + 1));
    field.resize(400, 200);
    field.show();
    field.activateWindow();
    field.setFocus();
    return app.exec();
}
