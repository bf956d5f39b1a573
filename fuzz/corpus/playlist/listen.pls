http://radio.example/listen.pls
audio/x-scpls
[playlist]
NumberOfEntries=3
File2=http://b.example:8000/
File1=http://a.example/stream
Title1=A
file10 = relative/path.mp3
Version=2
