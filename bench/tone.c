/* Wine's floor for the player benchmark: plays a 1 kHz tone through waveOut and
 * nothing else, until killed. */
#include <windows.h>
#include <mmsystem.h>
#include <math.h>

int main(void) {
  WAVEFORMATEX f = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
  HWAVEOUT out;
  HANDLE done = CreateEventA(NULL, FALSE, FALSE, NULL);
  static short data[4][4410 * 2];
  WAVEHDR h[4];
  unsigned long t = 0;
  int i, k;
  if (waveOutOpen(&out, WAVE_MAPPER, &f, (DWORD_PTR)done, 0, CALLBACK_EVENT)) return 1;
  for (i = 0; i < 4; ++i) {
    ZeroMemory(&h[i], sizeof h[i]);
    h[i].dwFlags = WHDR_DONE;
  }
  for (;;) {
    for (i = 0; i < 4; ++i) {
      if (!(h[i].dwFlags & WHDR_DONE)) continue;
      if (h[i].dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(out, &h[i], sizeof h[i]);
      for (k = 0; k < 4410; ++k, ++t) data[i][2 * k] = data[i][2 * k + 1] = (short)(8000 * sin(6.283185307 * 1000 * t / 44100));
      h[i].lpData = (LPSTR)data[i];
      h[i].dwBufferLength = sizeof data[i];
      h[i].dwFlags = 0;
      waveOutPrepareHeader(out, &h[i], sizeof h[i]);
      waveOutWrite(out, &h[i], sizeof h[i]);
    }
    WaitForSingleObject(done, 100);
  }
}
