#include <QLockFile>
#include <QFile>
#include <cstdio>
#include <cstdlib>
int main(int, char **argv){
  const char *p = "/tmp/wtl/LCK..test";
  QByteArray pid = argv[1];
  for (QByteArray content : {pid.rightJustified(10) + "\n", pid + "\nsleep\n", pid + "\nother\n"}) {
    QFile f(p); f.open(QIODevice::WriteOnly); f.write(content); f.close();
    QLockFile l(p);
    bool ok = l.tryLock();
    std::printf("content %-20s -> tryLock %d\n", content.replace('\n',"|").constData(), ok);
    l.unlock(); QFile::remove(p);
  }
}
