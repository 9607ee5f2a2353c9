#include "model/hostservices.h"

void openSlaveConfigHelp()
{
    // The second keyword is GB2312, as the help system expects it.
    static const QByteArray english("Config CANopen Slave in HW Config");
    static const QByteArray chinese(
        "\xd3\xb2\xbc\xfe\xd7\xe9\xcc\xac\xd6\xd0\xd4\xf5\xc3\xb4\xc5\xe4\xd6\xc3"
        "CANopen\xb4\xd3\xd5\xbe");
    startHelpSys(helpKeyWord(english, chinese));
}
