//| print_and_placement: what the debugger shows while the EVB-42 boots
//| plain prints become expressions, formatted prints stay printf
cexpression boot_count
cexpression sensor.temp
printf "%x",status_reg
printf "%d",adc_samples[3]
printf "%x",(gpio_in & 0xff)
//| comments print their text and are never assignments
printf "===== flash done ====="
printf "Flash erased"
//| examine and find: ranges, commas, width switches, parenthesised addresses
dump 0x8000 ..0x100
dump 0x20000000 ..0x40
dump 0x20000000 
dump 0x40000000 ..8
dump (rx_buf + 16) ..0x20
dump ((u8*)dma_buf) ..0x40
search 0x20000000 ..+ 0x1000=0xAA55 
search 0x1234
search 0x20000000 ..+ 0x400=A5 
//| files and registers
readfile,raw sram.bin  = 0x20000000
writefile sram.bin =0x20000000 ..+ 0x8000
setreg @r1 =0x20001000
printf "r0=0x%x : r1=0x%x : r2=0x%x : r3=0x%x \nr4=0x%x : r5=0x%x : r6=0x%x \nr7=0x%x : r8=0x%x : r9=0x%x \nr10=0x%x : r11=0x%x : r12=0x%x : r13=0x%x \nr14=0x%x : pc=0x%x : cpsr=0x%x" ,@r0,@r1,@r2,@r3,@r4,@r5,@r6,@r7,@r8,@r9,@r10,@r11,@r12,@r13,@r14, @pc, @cpsr
printf "r0=0x%x : r1=0x%x : r2=0x%x : r3=0x%x \nr4=0x%x : r5=0x%x : r6=0x%x \nr7=0x%x : r8=0x%x : r9=0x%x \nr10=0x%x : r11=0x%x : r12=0x%x : r13=0x%x \nr14=0x%x : pc=0x%x : cpsr=0x%x " ,@r0,@r1,@r2,@r3,@r4,@r5,@r6,@r7,@r8,@r9,@r10,@r11,@r12,@r13,@r14, @pc, @cpsr
//| internal variables
cexpression @vector_catch = 0x1f
//Warning only a subset of Tavex internal variables are avilable in MXT
cexpression @vector_catch
printf "%x",@vector_catch
cexpression @result
printf "%d",$inputbase
//Warning inputbase not available in MXT
//Warning inputbase not available in MXT
include $sourcedir/init.mxt
//Warning sourcedir not available in MXT
arguments = verbose
cexpression $int_format = hex
//Warning Formated print results not available in this format in MXT
cexpression $int_format
//Warning Formated print results not available in this format in MXT
//| colon-shortened arguments, host commands and calls
list 120
host echo  "flash done"
cexpression uart_init(115200, 8)
