// The jLHA library (under jlha) can write every historical method; its output for -lh1- to
// -lh7-, -lzs- and -lz5- must decode here byte for byte. -lh2- and -lh3- are covered
// only this way: no other tool on the machine reads or writes them.
#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "../support/temp_dir.h"
#include "lzh_test_support.h"

using namespace lzhtest;

namespace {

const char* const kJar = "/usr/share/java/jlha.jar";

const char* const kDriver = R"(import jp.gr.java_conf.dangan.util.lha.*;
import java.io.*;
import java.nio.file.*;
import java.util.Date;
public class MakeLzh {
  public static void main(String[] a) throws Exception {
    LhaOutputStream out = new LhaOutputStream(new FileOutputStream(a[2]));
    for (int i = 3; i < a.length; i++) {
      LhaHeader h = new LhaHeader(new File(a[i]).getName(), new Date(1704164646000L));
      h.setCompressMethod(a[0]);
      h.setHeaderLevel(Integer.parseInt(a[1]));
      h.setOSID((byte)'M');
      out.putNextEntry(h);
      out.write(Files.readAllBytes(Paths.get(a[i])));
      out.closeEntry();
    }
    out.close();
  }
}
)";

}  // namespace

TEST(LzhJlhaMethods, DecodesEveryMethodTheLibraryWrites) {
  if (!have_tool("javac") || !have_tool("java") || !std::ifstream(kJar))
    GTEST_SKIP() << "java or the jLHA library is missing";
  zv::test::TempDir dir;
  dir.write("MakeLzh.java", kDriver);
  std::string out;
  ASSERT_EQ(run("cd '" + dir.path() + "' && javac -cp " + kJar + " MakeLzh.java", &out), 0) << out;

  // Inputs: text with long repeats (forces tree rebuilds in the adaptive methods), binary-like
  // data, a run of one byte, and a tiny file.
  std::map<std::string, Bytes> files;
  Bytes text = text_bytes(150000, 41);
  Bytes again(text.begin(), text.begin() + 60000);
  text.insert(text.end(), again.begin(), again.end());
  files["text.txt"] = text;
  Bytes bin = random_bytes(20000, 42);
  for (size_t i = 0; i < bin.size(); ++i)
    bin[i] = (unsigned char)(bin[i] % 7 + (i % 64 == 0 ? 200 : 0));
  files["bin.dat"] = bin;
  files["run.dat"] = Bytes(70000, 'r');
  files["abc.txt"] = repeat_bytes(31, "abc");
  std::string names;
  for (auto& [name, data] : files) {
    write_file(dir / name, data);
    names += " " + name;
  }

  int decoded = 0;
  std::map<std::string, int> per_method;
  for (const char* method :
       {"-lh1-", "-lh2-", "-lh3-", "-lh4-", "-lh5-", "-lh6-", "-lh7-", "-lzs-", "-lz5-"}) {
    for (int level : {0, 2}) {
      SCOPED_TRACE(std::string(method) + " level " + std::to_string(level));
      const std::string archive = dir / "out.lzh";
      std::remove(archive.c_str());
      out.clear();
      ASSERT_EQ(run("cd '" + dir.path() + "' && java -cp " + std::string(kJar) + ":. MakeLzh " +
                        method + " " + std::to_string(level) + " out.lzh" + names,
                    &out),
                0)
          << out;
      const Bytes a = read_file(archive);
      std::vector<Member> members;
      ASSERT_TRUE(walk_members(a, &members));
      ASSERT_EQ(members.size(), files.size());
      for (const Member& m : members) {
        SCOPED_TRACE(m.path + " " + m.method);
        ASSERT_TRUE(files.count(m.path));
        Bytes packed(a.begin() + (long)m.data_offset, a.begin() + (long)(m.data_offset + m.packed));
        CodecResult r = decode(m.method.c_str(), packed, m.original);
        ASSERT_EQ(r.rc, LZH_OK);
        EXPECT_TRUE(r.out == files[m.path]);
        EXPECT_EQ(crc16(r.out), m.crc);
        ++per_method[m.method];
        ++decoded;
      }
    }
  }
  // The library falls back to -lh0- where a method does not pay, but not for all inputs.
  for (const char* method :
       {"-lh1-", "-lh2-", "-lh3-", "-lh4-", "-lh5-", "-lh6-", "-lh7-", "-lzs-", "-lz5-"})
    EXPECT_GT(per_method[method], 0) << method;
  EXPECT_EQ(decoded, 72);
}
