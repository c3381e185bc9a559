/* The host's address range, reserved inside the stand-in executable's own image:
   an uninitialised, executable, writable section placed before .text by the
   linker script, so it costs no file bytes. The flag order "xwb" matters to clang. */
        .section .hostimg,"xwb"
        .globl  _host_image_begin
_host_image_begin:
        .space  HOST_IMAGE_RESERVE
        .globl  _host_image_end
_host_image_end:
