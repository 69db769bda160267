//| SRAM test: fill a pattern, check it, dump the window, save it
journal on=memtest.log 

cexpression pattern  =  0xA5A5A5A5
setmem 0x20000000  [0]=0x11
setmem 0x20000000  [1]=0x22
setmem 0x20000000  [2]=0x33
setmem 0x20000000  [3]=0x44

cexpression buf  [0]=1
cexpression buf  [1]=2
cexpression buf  [2]=3
cexpression buf  [3]=4

dump 0x20000000 ..0x20000010
search 0x20000000 ..+ 0x100=0xA5 
writefile sram.bin =0x20000000 ..+ 0x1000
readfile,raw golden.bin  = 0x20001000
printf "checksum = ", checksum
printf "%x",@top_of_memory
//| Single-step the check loop, then leave the function
stepl 10
stepoinstr

journal off
