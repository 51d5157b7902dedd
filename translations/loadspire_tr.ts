<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="tr" sourcelanguage="en">
<context>
    <name>lsg::FontColorDialog</name>
    <message>
        <source>Font</source>
        <translation>Yazı Tipi</translation>
    </message>
    <message>
        <source>&amp;Color...</source>
        <translation>&amp;Renk...</translation>
    </message>
</context>
<context>
    <name>lsg::IniFile</name>
    <message>
        <source>Unable to write to %1</source>
        <translation>%1 dosyasına yazılamıyor</translation>
    </message>
    <message>
        <source>the value of &quot;%1&quot; is longer than %2 bytes</source>
        <translation>&quot;%1&quot; değeri %2 bayttan uzun</translation>
    </message>
    <message>
        <source>the file is larger than %1 bytes</source>
        <translation>dosya %1 bayttan büyük</translation>
    </message>
    <message>
        <source>it links to a file of another user</source>
        <translation>başka bir kullanıcının dosyasına bağlantı veriyor</translation>
    </message>
    <message>
        <source>another program keeps it locked</source>
        <translation>başka bir program onu kilitli tutuyor</translation>
    </message>
    <message>
        <source>its lock %1 cannot be taken: %2</source>
        <translation>kilidi %1 alınamıyor: %2</translation>
    </message>
    <message>
        <source>its lock %1 is not a regular file</source>
        <translation>kilidi %1 normal bir dosya değil</translation>
    </message>
    <message>
        <source>its lock %1 cannot be opened: %2</source>
        <translation>kilidi %1 açılamıyor: %2</translation>
    </message>
    <message>
        <source>the file would grow beyond %1 bytes</source>
        <translation>dosya %1 baytı aşardı</translation>
    </message>
</context>
<context>
    <name>lsg::ProcessorGrid</name>
    <message>
        <source>CPU %1</source>
        <translation>CPU %1</translation>
    </message>
    <message>
        <source>%1: %2%</source>
        <translation>%1: %2%</translation>
    </message>
</context>
<context>
    <name>lsg::Sampler</name>
    <message>
        <source>Can&apos;t get the Windows version</source>
        <translation>Windows sürümü alınamıyor</translation>
    </message>
    <message>
        <source>Unable to locate the &quot;Processor&quot; performance object</source>
        <translation>&quot;Processor&quot; performans nesnesi bulunamadı</translation>
    </message>
    <message>
        <source>Unable to locate the &quot;% of CPU usage&quot; performance counter</source>
        <translation>&quot;% of CPU usage&quot; performans sayacı bulunamadı</translation>
    </message>
    <message>
        <source>CPU index out of bounds</source>
        <translation>CPU dizini sınırların dışında</translation>
    </message>
    <message>
        <source>Unable to start performance monitoring</source>
        <translation>Performans izleme başlatılamıyor</translation>
    </message>
    <message>
        <source>Unable to read performance data</source>
        <translation>Performans verileri okunamıyor</translation>
    </message>
</context>
<context>
    <name>lsg::SamplingTick</name>
    <message>
        <source>CPU Usage: %1% (1 processor)</source>
        <translation>CPU Kullanımı: %1% (1 işlemci)</translation>
    </message>
    <message>
        <source>Average CPU Usage: %1% (%2 processors)</source>
        <translation>Ortalama CPU Kullanımı: %1% (%2 işlemci)</translation>
    </message>
</context>
<context>
    <name>lsg::SettingsFormat</name>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>&apos;%1&apos; geçerli bir tamsayı değil</translation>
    </message>
</context>
<context>
    <name>lsg::TAppForm</name>
    <message>
        <source>Not available on Wayland: the compositor decides which windows stay above the others.</source>
        <translation>Wayland&apos;de kullanılamaz: hangi pencerelerin diğerlerinin üstünde kalacağına bileşik yönetici karar verir.</translation>
    </message>
    <message>
        <source>Still Here</source>
        <translation>Hâlâ Burada</translation>
    </message>
    <message>
        <source>%1 Settings</source>
        <translation>%1 Ayarları</translation>
    </message>
</context>
<context>
    <name>lsg::TForm2</name>
    <message>
        <source>CPU usage charts</source>
        <translation>CPU kullanım grafikleri</translation>
    </message>
    <message>
        <source>Total CPU usage</source>
        <translation>Toplam CPU kullanımı</translation>
    </message>
    <message>
        <source>CPU usage of each processor</source>
        <translation>Her işlemcinin CPU kullanımı</translation>
    </message>
    <message>
        <source>CPU</source>
        <translation>CPU</translation>
    </message>
    <message>
        <source>CPU %1 usage</source>
        <translation>CPU %1 kullanımı</translation>
    </message>
</context>
<context>
    <name>lsg::TNewVer</name>
    <message>
        <source>UPDATE AVAILABLE</source>
        <translation>GÜNCELLEME VAR</translation>
    </message>
    <message>
        <source>Click to download %1 %2</source>
        <translation>%1 %2 sürümünü indirmek için tıklayın</translation>
    </message>
</context>
<context>
    <name>lsg::TSettingsForm</name>
    <message>
        <source>Not available on Wayland: the compositor decides how transparent a window is.</source>
        <translation>Wayland&apos;de kullanılamaz: bir pencerenin ne kadar saydam olacağına bileşik yönetici karar verir.</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Ayarlar</translation>
    </message>
    <message>
        <source>Edit Font...</source>
        <translation>Yazı Tipini Düzenle...</translation>
    </message>
    <message>
        <source>Edit Background Color...</source>
        <translation>Arka Plan Rengini Düzenle...</translation>
    </message>
    <message>
        <source>Transparency:</source>
        <translation>Saydamlık:</translation>
    </message>
    <message>
        <source>Reset to Defaults...</source>
        <translation>Varsayılanlara Sıfırla...</translation>
    </message>
    <message>
        <source>Restart Application?</source>
        <translation>Uygulama yeniden başlatılsın mı?</translation>
    </message>
</context>
<context>
    <name>lsg::TransparencySlider</name>
    <message>
        <source>How much of the gadget shows through: 0 % is opaque.</source>
        <translation>Aracın ne kadar saydam olduğu: 0 % opaktır.</translation>
    </message>
</context>
<context>
    <name>lsg::TrayMenu</name>
    <message>
        <source>Show &amp;Form</source>
        <translation>&amp;Pencereyi Göster</translation>
    </message>
    <message>
        <source>Settings...</source>
        <translation>Ayarlar...</translation>
    </message>
    <message>
        <source>Stay On Top</source>
        <translation>Her Zaman Üstte</translation>
    </message>
    <message>
        <source>Show All Processors</source>
        <translation>Tüm İşlemcileri Göster</translation>
    </message>
    <message>
        <source>Live Tray &amp;Icon</source>
        <translation>Canlı Tepsi &amp;Simgesi</translation>
    </message>
    <message>
        <source>Update Notifications</source>
        <translation>Güncelleme Bildirimleri</translation>
    </message>
    <message>
        <source>Start at &amp;Login</source>
        <translation>&amp;Oturum Açılışında Başlat</translation>
    </message>
    <message>
        <source>Online Help</source>
        <translation>Çevrimiçi Yardım</translation>
    </message>
    <message>
        <source>S&amp;end Feedback...</source>
        <translation>&amp;Geri Bildirim Gönder...</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>&amp;Hakkında...</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>Çı&amp;kış</translation>
    </message>
</context>
<context>
    <name>lsg::UpdateStore</name>
    <message>
        <source>The update settings folder &quot;%1&quot; could not be created.</source>
        <translation>Güncelleme ayarları klasörü &quot;%1&quot; oluşturulamadı.</translation>
    </message>
</context>
<context>
    <name>lsg::VersionInfo</name>
    <message>
        <source>A call to an OS function failed</source>
        <translation>Bir işletim sistemi işlevi çağrısı başarısız oldu</translation>
    </message>
    <message>
        <source>System Error.  Code: %1.<byte value="xd"/>
%2%3</source>
        <translation>Sistem Hatası.  Kod: %1.<byte value="xd"/>
%2%3</translation>
    </message>
</context>
<context>
    <name>lsg::about::TAboutBox</name>
    <message>
        <source>File not found!</source>
        <translation>Dosya bulunamadı!</translation>
    </message>
    <message>
        <source>License</source>
        <translation>Lisans</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>%1 Hakkında</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Tamam</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Bilgi</translation>
    </message>
    <message>
        <source>Acknowledgements...</source>
        <translation>Teşekkürler...</translation>
    </message>
    <message>
        <source>How to uninstall...</source>
        <translation>Nasıl kaldırılır...</translation>
    </message>
    <message>
        <source>License...</source>
        <translation>Lisans...</translation>
    </message>
</context>
<context>
    <name>lsg::commandline</name>
    <message>
        <source>Usage: loadspire [--help | --version]

Shows how busy the processor is: a small gadget on the desktop draws the CPU
usage of the last ten seconds, and an icon in the notification area carries
its menu (also opened by a right click on the gadget).

Options:
  -h, --help     print this help and exit
      --version  print the program&apos;s name and version and exit

Any other argument is ignored. Place, size and look are kept in settings.ini,
beside the program when its folder is writable, otherwise in the user&apos;s
configuration folder; see loadspire(1).
</source>
        <translation>Kullanım: loadspire [--help | --version]

İşlemcinin ne kadar meşgul olduğunu gösterir: masaüstündeki küçük bir araç son
on saniyenin CPU kullanımını çizer, bildirim alanındaki bir simge de menüsünü
taşır (menü, araca sağ tıklanarak da açılır).

Seçenekler:
  -h, --help     bu yardımı yazdırır ve çıkar
      --version  programın adını ve sürümünü yazdırır ve çıkar

Diğer tüm argümanlar yok sayılır. Konum, boyut ve görünüm settings.ini
dosyasında, programın klasörü yazılabilirse programın yanında, değilse
kullanıcının yapılandırma klasöründe saklanır; bkz. loadspire(1).
</translation>
    </message>
</context>
<context>
    <name>lsg::feedback::TFeedbackForm</name>
    <message>
        <source>%1 feedback</source>
        <translation>%1 Geri Bildirimi</translation>
    </message>
    <message>
        <source>I like it!</source>
        <translation>Beğendim!</translation>
    </message>
    <message>
        <source>I dislike it!</source>
        <translation>Beğenmedim!</translation>
    </message>
    <message>
        <source>We would really appreciate your feedback.</source>
        <translation>Geri bildiriminiz bizim için çok değerli.</translation>
    </message>
    <message>
        <source>What did you like or dislike?</source>
        <translation>Neyi beğendiniz, neyi beğenmediniz?</translation>
    </message>
    <message>
        <source>Include my e-mail:</source>
        <translation>E-posta adresimi ekle:</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Gönder</translation>
    </message>
    <message>
        <source>Invalid e-mail address!</source>
        <translation>Geçersiz e-posta adresi!</translation>
    </message>
    <message>
        <source>Failure</source>
        <translation>Hata</translation>
    </message>
    <message>
        <source>Your feedback is received.<byte value="xd"/><byte value="xd"/>Thank you!</source>
        <translation>Geri bildiriminiz alındı.<byte value="xd"/><byte value="xd"/>Teşekkür ederiz!</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>Başarılı</translation>
    </message>
    <message>
        <source>Something went wrong. Your feedback could not be delivered.<byte value="xd"/><byte value="xd"/>Please try again later.</source>
        <translation>Bir şeyler ters gitti. Geri bildiriminiz iletilemedi.<byte value="xd"/><byte value="xd"/>Lütfen daha sonra yeniden deneyin.</translation>
    </message>
    <message>
        <source>Sending...</source>
        <translation>Gönderiliyor...</translation>
    </message>
</context>
<context>
    <name>lsg::platform::Autostart</name>
    <message>
        <source>Unable to write to %1: %2</source>
        <translation>%1 dosyasına yazılamıyor: %2</translation>
    </message>
    <message>
        <source>Unable to write to the autostart folder: no home folder</source>
        <translation>Otomatik başlatma klasörüne yazılamıyor: ev klasörü yok</translation>
    </message>
    <message>
        <source>Unable to remove %1: %2</source>
        <translation>%1 kaldırılamıyor: %2</translation>
    </message>
</context>
</TS>
