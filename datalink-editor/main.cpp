#include "datalink-editor/TfrmDataLinkEditor.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/qt/qt_sql_connection.h"

#include <QApplication>
#include <QTextStream>

// The data link editor: one window for the data link file named by the only argument.
int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // QApplication has taken its own options out; the file's name is kept byte for byte, since
    // it need not be UTF-8.
    if (argc != 2) {
        QTextStream(stderr) << "usage: vemlo-datalink-editor FILE.udl\n";
        return 2;
    }
    platform::QtMessageBoxes boxes;
    vemlo::TfrmDataLinkEditor window(argv[1], boxes, &platform::TestSqlConnection);
    window.show();
    return application.exec();
}
