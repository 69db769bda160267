//| Board bring-up for the XR-7 evaluation board
//| Board description, application image and its symbols
readboardfile xr7.bcd
load/pd/r  'app.axf'
load/n app.axf

//| Clocks: switch the PLL on and wait for it to lock
setmem 0x40021000  =  0x00010000
cexpression pll_cfg  =  0x1C
gostep until(pll_locked !=0)

//| Stack pointer and entry point
cexpression @sp=0x20008000
cexpression @pc=0x08000000

//| Catch no vectors; is semihosting on?
cexpression @vector_catch = 0
//Warning only a subset of Tavex internal variables are avilable in MXT
cexpression @semihosting_enabled

//| Run to main and show where we are
break main
go
where
printf "r0=0x%x : r1=0x%x : r2=0x%x : r3=0x%x \nr4=0x%x : r5=0x%x : r6=0x%x \nr7=0x%x : r8=0x%x : r9=0x%x \nr10=0x%x : r11=0x%x : r12=0x%x : r13=0x%x \nr14=0x%x : pc=0x%x : cpsr=0x%x" ,@r0,@r1,@r2,@r3,@r4,@r5,@r6,@r7,@r8,@r9,@r10,@r11,@r12,@r13,@r14, @pc, @cpsr
printf "Bring-up done"
