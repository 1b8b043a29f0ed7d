#include <QLockFile>
#include <QFile>
#include <QSysInfo>
#include <cstdio>
int main(int, char **argv){
  const char *p = "/tmp/wtl/LCK..test";
  QByteArray pid = argv[1];
  QByteArray host = QSysInfo::machineHostName().toUtf8();
  for (QByteArray content : {pid.rightJustified(10) + "\n", pid + "\nsleep\n" + host + "\n", pid + "\nsleep\n\n"}) {
    QFile f(p); f.open(QIODevice::WriteOnly); f.write(content); f.close();
    QLockFile l(p);
    qint64 ipid=0; QString h, a; bool info = l.getLockInfo(&ipid,&h,&a);
    bool ok = l.tryLock();
    std::printf("content %-28s info %d pid %lld app '%s' -> tryLock %d err %d\n", content.replace('\n',"|").constData(), info, ipid, qPrintable(a), ok, int(l.error()));
    l.unlock(); QFile::remove(p);
  }
}
